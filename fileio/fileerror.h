// What went wrong with a file, for the reader, the writer, the lock and the copies kept beside
// a file.
#pragma once

namespace fileio
{

enum class FileError {
    None,
    Missing,        // nothing stands at the name
    ReadFailed,     // a step of reading failed: see the system's error number
    TooLarge,       // larger than the limit its format sets
    NotRegularFile, // a folder, device or pipe stands at the name
    WriteFailed,    // a step of writing failed: see the system's error number
    Locked,         // another copy of the program held the lock past the wait
    Link,           // a symbolic link stands where a copy is kept: neither followed nor replaced
};

} // namespace fileio
