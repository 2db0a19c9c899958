// Reads the call record of the archiver library test double through the
// handle the back end loaded.
#pragma once

#include <cstdint>
#include <string>

#include "backends/Lha32.h"
#include "platform/DynamicLibrary.h"

namespace testing_support {

class DoubleLog {
 public:
  DoubleLog() : lib_(pelsok::TLha32::Library().Handle()) {}
  // The record of another double, through the handle its back end loaded.
  explicit DoubleLog(platform::LibraryHandle lib) : lib_(lib) {}
  int Count() const { return Fn<int (*)()>("Double_CallCount")(); }
  std::string Entry(int i) const { return Fn<const char* (*)(int)>("Double_Entry")(i); }
  std::string Text(int i) const { return Fn<const char* (*)(int)>("Double_Text")(i); }
  const void* Buffer(int i) const { return Fn<const void* (*)(int)>("Double_Buffer")(i); }
  std::uint32_t Number(int i) const { return Fn<std::uint32_t (*)(int)>("Double_Number")(i); }
  void* Wnd(int i) const { return Fn<void* (*)(int)>("Double_Wnd")(i); }
  int Loads() const { return Fn<int (*)()>("Double_Loads")(); }
  void Reset() const { Fn<void (*)()>("Double_Reset")(); }
  int Last() const { return Count() - 1; }

 private:
  template <typename F>
  F Fn(const char* name) const {
    return reinterpret_cast<F>(platform::GetProcAddress(lib_, name));
  }
  platform::LibraryHandle lib_;
};

}  // namespace testing_support
