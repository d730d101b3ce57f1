#include "ZipFixture.h"

// iowin32.h needs the two before it.
// clang-format off
#include <zlib.h>
#include <zip.h>
#include <iowin32.h>
// clang-format on

#include <stdexcept>

void WriteZip(const CString& path, const std::vector<std::pair<std::string, std::string>>& entries,
              const std::string& password)
{
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    zipFile zip = zipOpen2_64(path.GetString(), APPEND_STATUS_CREATE, nullptr, &files);
    if (!zip)
        throw std::runtime_error("cannot create a zip fixture");
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info = {};
        const auto crc =
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
        // Bit 11 of the general-purpose flags: the name is UTF-8.
        if (zipOpenNewFileInZip4(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                 Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                 password.empty() ? nullptr : password.c_str(), crc, 0, 1 << 11) != ZIP_OK ||
            zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK) {
            zipClose(zip, nullptr);
            throw std::runtime_error("cannot write a zip fixture");
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK)
        throw std::runtime_error("cannot finish a zip fixture");
}
