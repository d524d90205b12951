// Files the program makes beside a data file: the save's temporary file, the backup, the
// recovery file, the lock. A data file may sit in a folder that others can write to (a group
// folder), and any of them could have put a symbolic link at one of these names, pointing at a
// file of the user's own. So they are made only as new files, never through a link, and they
// give nobody more access than the data file itself does.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace afx_file {

// What a file beside a data file may give: the data file's read and write bits and its group
// (the file a link names), or its owner alone when there is no data file (yet).
struct AccessLimit {
    mode_t mode = 0600;
    gid_t gid = 0;
    bool checkGroup = false;  // group access only for the data file's group
};
AccessLimit AccessOf(const std::string& dataPath);
AccessLimit OwnerOnly();

// Makes a file that was just created give no more than `limit` (with `exact`, exactly its
// mode, bits the umask took back included). A folder with the set-group-id bit hands a new
// file the folder's group, which may be wider than the data file's: the file takes the data
// file's group, and where that cannot be done the group loses its access instead.
void ApplyAccess(int fd, const AccessLimit& limit, bool exact = false);

// A new file at path, for reading and writing: never opened through a link or over a file already
// there (EEXIST for both), with `limit`'s access at most. -1 with errno when none was made.
int CreateNew(const std::string& path, const AccessLimit& limit);

// A new file named "<target>.<8 hex digits>.tmp" beside target, made as CreateNew makes one.
int CreateTempBeside(const std::string& target, const AccessLimit& limit, std::string& rTempPath);

// Where the 8 hex digits of a temporary name come from (random by default). Tests plant files
// and links at the names to come; an empty function restores the default. Returns the previous.
std::function<unsigned()> SetTempNameSource(std::function<unsigned()> source);

}  // namespace afx_file
