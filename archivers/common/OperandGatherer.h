// What the writing libraries (LZH, ZIP, CAB, tar) share in turning the
// file operands of an add command into the files to store and their stored
// names. The stored-name rule itself is platform::StoredName.
//
// An operand is a file, a mask in its folder's last part, or a folder;
// relative operands are taken below the base folder when one is given.
// A folder is searched in name order; folders reached through a link are
// not walked, nor is a folder already being walked (link loops); names
// that no longer stat (dangling links) are passed over.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace arc {

// The names in folder ("." for the current one) without "." and "..",
// sorted; none when it cannot be opened.
std::vector<std::string> SortedFolderNames(const std::string& folder);

// Where one operand points.
struct OperandPlace {
  std::string operand;  // as given, '\' made '/'
  std::string folder;   // the folder searched, ending in '/'; empty: the current one
  std::string mask;     // "*" for a folder operand
  bool isFolder = false;
  // The stored folders of what the operand finds (platform::StoredFolderParts
  // of its folder): empty when the library asks for bare names.
  std::vector<std::string> storedFolders;
};

enum class OutsideBase {
  keepFolders,  // an absolute operand outside the base folder keeps its folders
  ownNameOnly,  // it stores only the folder it names itself (CAB)
};

OperandPlace PlaceOperand(const std::string& given, const std::string& baseDir,
                          OutsideBase outside = OutsideBase::keepFolders);

// Found during a search: the path to open, its stat (links followed) and
// its stored parts (folders then the name). Returns how many it took.
struct Found {
  const std::string& path;
  const struct stat& st;
  std::vector<std::string> parts;
};
using TakeFound = std::function<std::size_t(Found)>;

struct WalkRules {
  bool includeHidden = true;  // names beginning with '.' (else left out, folders too)
  // true: a folder's files first, then its subfolders; false: one name order.
  bool filesBeforeFolders = true;
  // Called for each subfolder walked (before what is below it); may be empty.
  TakeFound folder;
  TakeFound file;  // called for each regular file matching the mask
};

class FolderWalk {
 public:
  explicit FolderWalk(WalkRules rules) : rules_(std::move(rules)) {}
  // Searches folder (ending in '/', or empty for the current one) for files
  // matching mask, and with recurse the folders below; prefix is the stored
  // folders of folder. Returns the count the callbacks took.
  std::size_t Search(const std::string& folder, const std::string& mask,
                     const std::vector<std::string>& prefix, bool recurse);

 private:
  bool Hidden(const std::string& name) const {
    return !rules_.includeHidden && !name.empty() && name[0] == '.';
  }

  WalkRules rules_;
  std::vector<std::pair<dev_t, ino_t>> walking_;  // folders being walked
};

}  // namespace arc
