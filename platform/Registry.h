// The per-user registry: a hive of keys, subkeys and typed values kept in one
// UTF-8 text file in the REGEDIT4 export syntax. It stands in for the current
// user's hive. The file is $PELSOK_HIVE when set, else
// $XDG_CONFIG_HOME/pelsok/registry.reg (or ~/.config/pelsok/registry.reg).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace platform {

// Value types, named as the registry names them.
// NOLINTBEGIN(readability-identifier-naming)
enum RegistryType : std::uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_MULTI_SZ = 7,
};
// NOLINTEND(readability-identifier-naming)

struct RegistryValue {
  std::string name;  // spelling of the first writer
  std::uint32_t type = REG_NONE;
  std::vector<std::uint8_t> data;
};

// A hive file that cannot be parsed: it is kept (the copy's name is in the
// message) and never silently replaced.
class EHiveCorrupt : public ERegistryException {
 public:
  using ERegistryException::ERegistryException;
};

// In-memory hive: key paths use '\' between their parts, compared without case.
class RegistryHive {
 public:
  struct Key {
    std::string name;  // spelling of the first writer
    std::vector<RegistryValue> values;
  };

  bool HasKey(const std::string& path) const;
  Key* FindKey(const std::string& path);
  const Key* FindKey(const std::string& path) const;
  Key& CreateKey(const std::string& path);
  static RegistryValue* FindValue(Key& key, const std::string& name);
  static const RegistryValue* FindValue(const Key& key, const std::string& name);
  static void SetValue(Key& key, const std::string& name, std::uint32_t type,
                       std::vector<std::uint8_t> data);

  // REGEDIT4 text (UTF-8): "[HKEY_CURRENT_USER\...]" sections, "name"="text",
  // "name"=hex:.., "name"=hex(N):.., @ for the unnamed value.
  std::string Serialize() const;
  // Throws EHiveCorrupt with a line number on a syntax error.
  static RegistryHive Parse(const std::string& text);

 private:
  // Keyed by the lower-cased path.
  std::map<std::string, Key> keys_;
};

// The path of the hive file in force.
std::string HiveFilePath();

// A registry access object on one key of the current user's hive, in the
// shape the settings store and the window placement use. Every write goes to
// the file at once: temporary file, fsync, rename, under a file lock.
class TRegistry {
 public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Opens key (path below the root, parts joined by '\'); with canCreate a
  // missing key is created (and stored). False when it cannot be opened.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  const std::string& CurrentPath() const { return current_; }

  // Value of a subkey of the open key, or of the key itself for an empty subkey.
  // Missing subkey or value: def. Size 0: "". Not a string type: throws
  // "'%s' のﾃﾞｰﾀ型が不正です". Text up to the first NUL.
  std::string ReadString(const std::string& subkey, const std::string& name,
                         const std::string& def);
  // Creates the subkey when missing; throws "'%s' の設定に失敗しました" when refused.
  void WriteString(const std::string& subkey, const std::string& name, const std::string& value);
  // Reads a REG_BINARY value of the open key into buf (at most bufSize bytes);
  // returns the stored size, 0 when absent. Not binary or longer than bufSize:
  // "'%s' のﾃﾞｰﾀ型が不正です".
  std::size_t ReadBinaryData(const std::string& name, void* buf, std::size_t bufSize);
  void WriteBinaryData(const std::string& name, const void* buf, std::size_t size);
  // Type of a value of the open key, nullopt when absent.
  std::optional<std::uint32_t> GetDataType(const std::string& name);
  bool ValueExists(const std::string& name);

 private:
  std::string current_;
  bool open_ = false;
};

}  // namespace platform
