// What an export of marked pictures writes beside them in its zip: where
// each picture goes in the zip, the checksum list that sha256sum -c and
// similar tools read, and the manifest in CSV. Pure text work; every text
// is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One picture as the export found it.
struct ExportedPicture {
    std::string zipPath;        // "2010-12-21/03/name.jpg", or "name.jpg"
    std::string originalPath;   // the full path it was read from
    uint64_t size = 0;
    std::string sha256;         // 64 lower-case hex digits
    std::string writeTimeUtc;   // ISO 8601, "2010-12-21T13:57:36Z"
    std::string day;            // "2010-12-21", empty outside an archive
    int camera = 0;             // the day folder's number (channel + 1), 0 outside an archive
    std::string cameraName;     // from the host's settings, may be empty
};

// The path in the zip: the day folder and camera when the picture is an
// archive's, else the zip's root.
std::string ZipPathOf(const std::string& name, const std::string& day, int camera);

// "<hex>  <path>" a line, in the pictures' order, each line ending in "\n".
std::string Sha256SumsText(const std::vector<ExportedPicture>& pictures);

// The export's time and album folder first, then a header and one row a
// picture; fields with a comma, quote or line break are quoted.
std::string ManifestCsv(const std::string& exportTimeUtc, const std::string& albumFolder,
                        const std::vector<ExportedPicture>& pictures);

// A field as CSV writes it.
std::string CsvField(const std::string& text);
