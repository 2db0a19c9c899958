// Reads the call record of the tar32.dll test double through the handle the
// TAR back ends loaded.
#pragma once

#include <cstdint>
#include <string>

#include "backends/Tar32.h"
#include "platform/DynamicLibrary.h"

namespace testing_support {

class TarDoubleLog {
 public:
  int Count() const { return Fn<int (*)()>("Double_CallCount")(); }
  std::string Entry(int i) const { return Fn<const char* (*)(int)>("Double_Entry")(i); }
  std::string Text(int i) const { return Fn<const char* (*)(int)>("Double_Text")(i); }
  const void* Buffer(int i) const { return Fn<const void* (*)(int)>("Double_Buffer")(i); }
  std::uint32_t Number(int i) const { return Fn<std::uint32_t (*)(int)>("Double_Number")(i); }
  void* Wnd(int i) const { return Fn<void* (*)(int)>("Double_Wnd")(i); }
  int Loads() const { return Fn<int (*)()>("Double_Loads")(); }
  void Reset() const { Fn<void (*)()>("Double_Reset")(); }
  void SetType(std::int32_t answer) const { Fn<void (*)(std::int32_t)>("Double_SetType")(answer); }
  int Last() const { return Count() - 1; }

 private:
  template <typename F>
  F Fn(const char* name) const {
    return reinterpret_cast<F>(platform::GetProcAddress(pelsok::TTar32::Library().Handle(), name));
  }
};

}  // namespace testing_support
