#include "app/run/ViewerAdvice.h"

#include "platform/DynamicLibrary.h"

namespace pelsok::app {
namespace {

bool Has(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

}  // namespace

std::string ViewerAdvice(const std::string& message) {
  if (Has(message, ".DLL") || Has(message, ".dll"))
    return "アーカイバ ライブラリを次のどちらかのフォルダに置いてから、"
           "もう一度書庫を開いてください。\n"
           "・プログラムと同じフォルダ\n"
           "・" +
           platform::InstalledLibraryFolder();
  if (Has(message, "がありません")) return "ファイルの名前と場所を確かめてください。";
  if (Has(message, "開けません") || Has(message, "読める形式"))
    return "書庫が途中で切れたり壊れたりしていないか、LZH・ZIP・TAR・CAB・ARJ・RAR "
           "の書庫かを確かめてください。";
  if (Has(message, "フォルダ")) return "書き込めるフォルダを選んでください。";
  return "書庫と展開先を確かめて、もう一度やり直してください。";
}

}  // namespace pelsok::app
