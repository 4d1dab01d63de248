#include "album/export/ExportManifest.h"

#include <cstdio>

std::string ZipPathOf(const std::string& name, const std::string& day, int camera)
{
    if (day.empty() || camera <= 0)
        return name;
    char folder[32];
    std::snprintf(folder, sizeof folder, "/%02d/", camera);
    return day + folder + name;
}

std::string Sha256SumsText(const std::vector<ExportedPicture>& pictures)
{
    std::string text;
    for (const ExportedPicture& picture : pictures)
        text += picture.sha256 + "  " + picture.zipPath + "\n";
    return text;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string ManifestCsv(const std::string& exportTimeUtc, const std::string& albumFolder,
                        const std::vector<ExportedPicture>& pictures)
{
    std::string csv = "exported," + CsvField(exportTimeUtc) + "\r\n";
    csv += "album folder," + CsvField(albumFolder) + "\r\n";
    csv += "path in zip,original path,size,sha256,last write time (UTC),day folder,camera channel,camera name\r\n";
    for (const ExportedPicture& p : pictures) {
        char camera[16] = "";
        if (p.camera > 0)
            std::snprintf(camera, sizeof camera, "%02d", p.camera);
        csv += CsvField(p.zipPath) + "," + CsvField(p.originalPath) + "," + std::to_string(p.size) + "," + p.sha256 +
               "," + CsvField(p.writeTimeUtc) + "," + CsvField(p.day) + "," + camera + "," + CsvField(p.cameraName) +
               "\r\n";
    }
    return csv;
}
