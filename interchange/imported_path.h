#pragma once
// Paths that a file someone else made brings in (a CSV's picture column, a
// vCard's PHOTO as a file: address). Opening "\\host\share\p.png" makes Windows
// connect to that host and offer it the user's network credentials, and a
// device ("\\.\COM1", "NUL") is no picture either. So such a path is read only
// when it is on one of this computer's drives or beside the imported file.
// Pure text rules: the same answers on Windows and on the host.
#include <string>
#include <string_view>

namespace interchange {

enum class ImportedPath {
  Local,     // on a drive ("C:\p.png", "\p.png" on the file's drive, "/p.png" on the host)
  Relative,  // beside the imported file ("p.png", "pics\p.png", "..\p.png")
  Elsewhere  // another computer, a device, or an address that is no file
};

ImportedPath ClassifyImportedPath(std::wstring_view path);

// The file to open for path, given the folder of the file that named it
// (empty: the current folder); false when the path is Elsewhere. A "file:"
// address counts as the path it names.
bool ResolveImportedPath(std::wstring_view path, const std::wstring& fileFolder, std::wstring& resolved);

// "The picture is on another computer or device and is not read: <path>"
std::wstring PictureElsewhereMessage(const std::wstring& path);

}  // namespace interchange
