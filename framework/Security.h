#pragma once
// Security descriptors for what the elevated programs must be able to trust
// later: the self-removal batch and its folder, and in the installation
// folder the uninstaller, the install record and the controls. Each is made
// with its descriptor from the start, or an existing one is given it, so
// that nobody but the administrators and the system can change, rename or
// replace it. The descriptors are built from their SDDL text by the system's
// own parser, and read back to text the same way, so that they can be
// checked before they are handed to the file system.
//
// On a volume that keeps no permissions (FAT, exFAT) the system takes the
// descriptors and drops them.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"

namespace security {

enum class Kind {
  // The self-removal batch's folder and what is made in it: Administrators
  // and SYSTEM full control, nobody else; owner Administrators.
  batchFolder,
  // The Controls folder: Administrators and SYSTEM full control, Users read
  // and execute, all of it inherited by what is made in the folder.
  trustedFolder,
  // Uninstall.exe, Uninstall.log, a control: as the folder, for one file.
  trustedFile,
};

// The descriptor's SDDL text.
std::wstring SddlOf(Kind kind);

// A security descriptor in one block of the system's local memory.
class Descriptor {
 public:
  // Empty when the system cannot build it.
  explicit Descriptor(Kind kind);
  explicit operator bool() const { return static_cast<bool>(block_); }
  PSECURITY_DESCRIPTOR get() const { return block_.get(); }
  // The descriptor as the system writes it back to SDDL, owner and DACL;
  // empty when it cannot.
  std::wstring Sddl() const;

 private:
  ScopedLocal block_;
};

// SECURITY_ATTRIBUTES that carry a descriptor (no inheritable handle); get()
// is null when the descriptor could not be built.
class Attributes {
 public:
  explicit Attributes(Kind kind);
  Attributes(const Attributes&) = delete;
  Attributes& operator=(const Attributes&) = delete;
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }
  const Descriptor& descriptor() const { return descriptor_; }

 private:
  Descriptor descriptor_;
  SECURITY_ATTRIBUTES attributes_{};
};

// For CreateFile of a file the elevated programs will trust, such as a
// record written beside the old one and then moved over it (a move keeps
// the moved file's descriptor): auto a = ProtectedFileAttributes();
// CreateFile(..., a.get(), CREATE_NEW, ...). A process that may not make
// Administrators the owner (one without their rights) gets
// ERROR_INVALID_OWNER and makes the file with the default descriptor, as
// MakeProtectedFile does.
Attributes ProtectedFileAttributes();

// Every descriptor names Administrators as owner, which only a process with
// their rights may do. For the kinds of the installation folder, a process
// without them (a limited user on XP installing where he may write) makes
// the folder or file with the default descriptor instead: locked to the
// administrators, it could not write its own files. The batch's folder is
// made with its descriptor or not at all (its maker chooses another place).

// Makes the folder with the descriptor of the kind. FALSE with the system's
// error as CreateDirectory gives it.
BOOL CreateProtectedFolder(const std::string& path, Kind kind);

// Makes an empty file with the descriptor of the kind (never opening one
// that exists); where one exists already, gives it the descriptor instead.
// A copy or a text write over it afterwards keeps the descriptor. False when
// neither worked; created tells whether it was made new.
bool MakeProtectedFile(const std::string& path, Kind kind, bool* created = nullptr);

// Gives an existing file or folder the descriptor: owner Administrators and
// a DACL that inherits nothing. On a folder the system carries the
// inheritable entries down to what is in it. False, with nothing changed,
// where the process may not, and on a volume without permissions.
bool Protect(const std::string& path, Kind kind);

// True when the volume holding the path keeps permissions (NTFS), false on
// FAT and exFAT, or when the volume cannot be asked.
bool VolumeKeepsPermissions(const std::string& path);

// While an ApplyLog lives, every descriptor handed to the file system by the
// functions above is written down with its path, so that a test can see
// where the descriptors go (Wine keeps none to read back). Only one at a
// time, on the thread that makes it or on one the maker waits for.
class ApplyLog {
 public:
  ApplyLog();
  ~ApplyLog();
  ApplyLog(const ApplyLog&) = delete;
  ApplyLog& operator=(const ApplyLog&) = delete;
  struct Entry {
    std::string path;
    Kind kind;
    bool created;  // made with it, rather than given it later
  };
  const std::vector<Entry>& entries() const { return entries_; }
  // Called by the functions above.
  static void Note(const std::string& path, Kind kind, bool created);

 private:
  std::vector<Entry> entries_;
};

}  // namespace security
