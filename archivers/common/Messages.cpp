#include "common/Messages.h"

namespace arc::msg {

namespace {

const char* Label(Verdict verdict) {
  switch (verdict) {
    case Verdict::extracted:
      return "展開";
    case Verdict::tested:
      return "正常";
    case Verdict::damaged:
      return "破損";
    case Verdict::skipped:
      return "省略";
    case Verdict::refused:
      return "拒否";
    case Verdict::failed:
      return "失敗";
    case Verdict::added:
      return "追加";
    case Verdict::replaced:
      return "置換";
    case Verdict::updating:
      return "更新";
    case Verdict::deleted:
      return "削除";
    case Verdict::packed:
      return "格納";
    case Verdict::cancelled:
      return "中止";
  }
  return "";
}

// A space parts a name or Latin word from the Japanese after it, not kana.
std::string Sentence(const std::string& what, const char* predicate, const std::string& why) {
  const bool latin = !what.empty() && static_cast<unsigned char>(what.back()) < 0x80;
  return what + (latin ? " " : "") + predicate + Because(why);
}

}  // namespace

std::string Line(Verdict verdict, const std::string& name, const std::string& reason) {
  std::string line = std::string(Label(verdict)) + "  " + name;
  if (!reason.empty()) line += ": " + reason;
  return line;
}

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

std::string Because(const std::string& why) {
  return why.empty() ? std::string() : " (" + why + ")";
}

std::string CannotOpen(const std::string& what, const std::string& why) {
  return Sentence(what, "を開けません", why);
}

std::string CannotRead(const std::string& what, const std::string& why) {
  return Sentence(what, "を読み込めません", why);
}

std::string CannotWrite(const std::string& what, const std::string& why) {
  return Sentence(what, "を書き込めません", why);
}

std::string CannotCreate(const std::string& what, const std::string& why) {
  return Sentence(what, "を作成できません", why);
}

std::string NotArchive(const std::string& name, const std::string& format, const std::string& why) {
  return Quoted(name) + " は " + format + " の書庫ではありません" + Because(why);
}

std::string DamagedHeaderAt(const std::string& name, std::uint64_t offset, const std::string& why) {
  return Quoted(name) + ": オフセット " + std::to_string(offset) + " のヘッダーが壊れています" +
         Because(why);
}

std::string UnknownCommand(const std::string& command, const std::string& hint) {
  return (command.empty() ? std::string("不明なコマンドです") : "不明なコマンドです: " + command) +
         Because(hint);
}

std::string NoArchiveName(const std::string& hint) {
  return "書庫名が指定されていません" + Because(hint);
}

std::string NoFileNames() { return "ファイル名が指定されていません"; }

std::string BadSwitchValue(const std::string& switchText, const std::string& hint) {
  return "スイッチ " + switchText + " の値が正しくありません" + Because(hint);
}

std::string OutOfMemory() { return "メモリが足りません"; }

std::string Cancelled(const std::string& what) {
  return what.empty() ? std::string("中止しました") : "中止しました。" + what;
}

std::string NoMemberMatched() { return "指定に合うファイルが書庫にありません"; }

std::string NoFileMatched() { return "指定に合うファイルがありません"; }

std::string NothingMatches(const std::string& operand) {
  return "指定に合うファイルがありません: " + operand;
}

std::string SameStoredName(const std::string& name) {
  return "同じ格納名が二度あります。最初のものを使います: " + name;
}

std::string ArchiveUnchanged() { return "書庫は変更していません"; }

std::string NameHoldsParent() { return "名前に \"..\" が含まれています"; }

std::string AbsoluteName() { return "絶対パスの名前は展開しません"; }

std::string EmptyName() { return "名前が空です"; }

std::string SpecialNotExtracted() { return "デバイス・FIFO・ソケットは展開しません"; }

std::string SymlinkNotExtracted() { return "シンボリックリンクは展開しません"; }

std::string HardlinkNotExtracted() { return "ハードリンクは展開しません"; }

std::string LinkOutside() { return "リンク先が展開先フォルダの外です"; }

std::string UnsupportedMethod(const std::string& method) {
  return "圧縮方式 " + method + " には対応していません";
}

std::string Encrypted() { return "暗号化されています (パスワードには対応していません)"; }

std::string CrcMismatch() { return "CRC が一致しません"; }

std::string WrongLength() { return "データの長さがヘッダーと一致しません"; }

std::string HeaderCrcMismatch() { return "ヘッダーの CRC が一致しません"; }

std::string TooManyExtendedHeaders() { return "拡張ヘッダーが多すぎます"; }

std::string WorkBeyondDeclared(std::uint64_t work, std::uint64_t declared) {
  const auto mib = [](std::uint64_t b) { return std::to_string((b + (1u << 20) - 1) >> 20); };
  return "書庫が壊れています: 複数のファイルが同じデータを重ねて指しており、展開に " + mib(work) +
         " MiB かかりますが、書庫が持つデータは " + mib(declared) +
         " MiB です。展開せずに検査を打ち切りました";
}

std::string ExistsUseY(const std::string& option) {
  return "同じ名前のファイルがあります (" + option + " で置き換えます)";
}

std::string TestSummary(std::size_t tested, std::size_t damaged) {
  return std::to_string(tested) + " 件を検査しました (破損 " + std::to_string(damaged) + " 件)";
}

std::string ExtractSummary(std::size_t extracted, std::size_t matched) {
  return std::to_string(matched) + " 件中 " + std::to_string(extracted) + " 件を展開しました";
}

std::string TestedSound(std::size_t sound, std::size_t matched) {
  return std::to_string(matched) + " 件を検査し、" + std::to_string(sound) + " 件が正常でした";
}

std::string PackSummary(std::size_t packed, const std::string& archive) {
  return std::to_string(packed) + " 件を " + archive + " に格納しました";
}

std::string DeleteSummary(std::size_t deleted, std::size_t left) {
  return std::to_string(deleted) + " 件を削除しました (残り " + std::to_string(left) + " 件)";
}

std::string ListTotal(std::size_t count) { return std::to_string(count) + " 件"; }

std::string SfxCannotReadSelf(const std::string& why) {
  return CannotRead("このプログラム自身のファイル", why);
}

std::string SfxNoArchive() { return "このプログラムには書庫が付いていません"; }

std::string SfxUsage(const std::string& program) {
  return "使い方: " + program + " [-o] [展開先フォルダ]  (-o: 既存のファイルを置き換えます)";
}

std::string MadeSfx(const std::string& program, std::size_t members) {
  return "自己解凍書庫 " + Quoted(program) + " を作成しました (" + std::to_string(members) + " 件)";
}

}  // namespace arc::msg
