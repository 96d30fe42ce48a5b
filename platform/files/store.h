// The object store: the Linux folder that stands for the handheld's file
// system root "\". The reader's code never includes this.
#pragma once

#include <string>

namespace device {

// Sets the folder used as the store's root (created with its "My Documents"
// folder when first used). Without a call it is $XDG_DATA_HOME/fernvale, or
// ~/.local/share/fernvale when XDG_DATA_HOME is unset or not absolute.
void SetStoreDirectory(const std::string& path);

// The folder in use.
std::string StoreDirectory();

// Makes the folder in use ready (created with the folders on its way and its
// "My Documents" when missing) or says why it cannot be used: "the store
// folder DIR is not a folder", "cannot use the store folder DIR: reason".
bool CheckStore(std::string* error);

// For tests: runs inside CreateFileW between the open and the lock, where
// another process may move a file over the name. Null removes it.
void SetBeforeLockHook(void (*hook)());

}  // namespace device
