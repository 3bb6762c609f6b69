#pragma once
// Sender record files (my0.txt ... my9.txt): five lines of text, in the order
// postal code, address line 1, address line 2, name, telephone, in the
// encodings of the settings files (TextEncoding.h): CP932 as the Windows
// program wrote them, UTF-8 or UTF-16 as an editor may save them.

#include <QString>
#include <array>

// Reads the first five lines of the file at path. Lines may end in CRLF, LF or a
// lone CR; missing lines are empty texts and lines after the fifth are ignored.
// Bytes that are not valid in the file's encoding become U+FFFD.
// Throws EInOutError, with a message naming the file, when the file is missing,
// cannot be opened or read, is not a regular file (a FIFO, a device, a folder)
// or is larger than 1 MiB; such a file is never waited on or read to its end.
std::array<QString, 5> ReadSenderRecord(const QString &path);
