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

}  // namespace device
