#pragma once
// Whether two file names name one file, so that a program never opens for writing a
// file it is reading or a database it keeps.
#include <string_view>

namespace tslib {

// True when writing through one name would change what the other names:
//  - both exist: they are one regular file (a symbolic or hard link, another path to
//    it); a device named twice (/dev/null) holds nothing to overwrite;
//  - neither exists: an open that creates them would create one file, their final
//    symbolic links (dangling ones included) followed to where the file would appear;
//  - one exists and the other does not: never, the other would be a new file.
bool same_file(std::string_view a, std::string_view b);

}  // namespace tslib
