#include "backends/Lha32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/DynamicLibrary.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TLha32::Library() {
  static LibraryBinding binding =
      listing::Binding("UNLHA32.DLL", "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。", "Unlha");
  return binding;
}

const TLibraryFormat& TLha32::Format() {
  static const TLibraryFormat format{.Library = &Library,
                                     .ProgressEntry = "UnlhaSetProgressCallback",
                                     .MakeCmdLine = &MakeCmdLine,
                                     .Unpack = "x",
                                     .UnpackFlat = "e",
                                     .Pack = "u",
                                     .Remove = "d",
                                     .MakeSfx = "s",
                                     .Test = "t",
                                     .TestTakesSwitches = true,
                                     .ReadEntry = "UnlhaReadMembers"};
  return format;
}

TLha32::TLha32() : TLibraryArchiver(Format()) { LoadDll(); }

std::optional<std::uint64_t> TLha32::OriginalSize64(ArcHandle handle) {
  // Optional: a library without it leaves the record's 32-bit size.
  const platform::LibraryHandle lib = Library().Handle();
  if (lib == nullptr) return std::nullopt;
  const auto size64 =
      reinterpret_cast<ArcGetSize64Proc>(platform::GetProcAddress(lib, "UnlhaGetOriginalSize64"));
  std::uint64_t size = 0;
  if (size64 == nullptr || size64(handle, &size) != 0) return std::nullopt;
  return size;
}

std::string TLha32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  TCmdOpt cmd;
  cmd.AddText("-+");
  for (auto [name, value] : {std::pair{"a", o.a},
                             {"c", o.c},
                             {"e", o.e},
                             {"f", o.f},
                             {"h", o.h},
                             {"i", o.i},
                             {"l", o.l},
                             {"m", o.m},
                             {"n", o.n},
                             {"o", o.o},
                             {"p", o.p},
                             {"r", o.r},
                             {"s", o.s},
                             {"t", o.t},
                             {"u", o.u}}) {
    cmd.AddNumber(name, value);
  }
  cmd.AddDir("w", o.w);
  for (auto [name, value] : {std::pair{"x", o.x},
                             {"y", o.y},
                             {"z", o.z},
                             {"jc", o.jc},
                             {"jd", o.jd},
                             {"je", o.je},
                             {"jf", o.jf},
                             {"jh", o.jh},
                             {"ji", o.ji},
                             {"jm", o.jm},
                             {"jn", o.jn}}) {
    cmd.AddNumber(name, value);
  }
  cmd.AddSwitch("jo", o.jo);
  cmd.AddSwitch("job", o.job);
  for (auto [name, value] : {std::pair{"jp", o.jp}, {"jr", o.jr}, {"jss", o.jss}, {"jw", o.jw}}) {
    cmd.AddNumber(name, value);
  }
  cmd.AddList("jx", o.jx);
  for (auto [name, value] :
       {std::pair{"jyc", o.jyc}, {"jyd", o.jyd}, {"jyk", o.jyk}, {"jyn", o.jyn}, {"jyo", o.jyo}}) {
    cmd.AddNumber(name, value);
  }
  cmd.AddSwitch("jz", o.jz);
  for (auto [name, value] : {std::pair{"ga", o.ga},
                             {"gd", o.gd},
                             {"ge", o.ge},
                             {"gf", o.gf},
                             {"gj", o.gj},
                             {"gm", o.gm},
                             {"gn", o.gn},
                             {"go", o.go},
                             {"gp", o.gp}}) {
    cmd.AddNumber(name, value);
  }
  cmd.AddSwitch("gr", o.gr);
  for (auto [name, value] : {std::pair{"gs", o.gs}, {"gu", o.gu}, {"gw", o.gw}}) {
    cmd.AddNumber(name, value);
  }
  return FinishCmdLine(command, cmd, archiveName, o, baseDir, fileList);
}

bool IsLhaArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TLha32::Library(), fileName);
}

}  // namespace pelsok
