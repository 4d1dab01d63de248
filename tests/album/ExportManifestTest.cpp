// The texts an export writes beside the pictures: paths in the zip, the
// checksum list and the manifest's CSV, quoting included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/export/ExportManifest.h"

TEST(ExportManifest, FilesArchivePicturesUnderTheirDayAndCameraAndOthersAtTheRoot)
{
    EXPECT_EQ("2010-12-21/03/a.jpg", ZipPathOf("a.jpg", "2010-12-21", 3));
    EXPECT_EQ("2010-12-21/100/a.jpg", ZipPathOf("a.jpg", "2010-12-21", 100));
    EXPECT_EQ("a.jpg", ZipPathOf("a.jpg", "", 0));
}

TEST(ExportManifest, ChecksumLinesAndRowsQuoteOnlyWhatCsvMust)
{
    const std::string hex(64, 'a');
    std::vector<ExportedPicture> pictures(2);
    pictures[0] = {"2010-12-21/03/gate, north.jpg", "D:\\DataPic\\2010-12-21\\03\\gate, north.jpg", 1234, hex,
                   "2010-12-21T13:57:36Z", "2010-12-21", 3, "Gate \"north\""};
    pictures[1] = {"b.bmp", "C:\\album\\b.bmp", 0, std::string(64, '0'), "2026-01-02T03:04:05Z", "", 0, ""};
    EXPECT_EQ(hex + "  2010-12-21/03/gate, north.jpg\n" + std::string(64, '0') + "  b.bmp\n", Sha256SumsText(pictures));
    EXPECT_EQ("exported,2026-12-09T02:45:00Z\r\n"
              "album folder,C:\\album\r\n"
              "path in zip,original path,size,sha256,last write time (UTC),day folder,camera channel,camera name\r\n"
              "\"2010-12-21/03/gate, north.jpg\",\"D:\\DataPic\\2010-12-21\\03\\gate, north.jpg\",1234," + hex +
                  ",2010-12-21T13:57:36Z,2010-12-21,03,\"Gate \"\"north\"\"\"\r\n"
              "b.bmp,C:\\album\\b.bmp,0," + std::string(64, '0') + ",2026-01-02T03:04:05Z,,,\r\n",
              ManifestCsv("2026-12-09T02:45:00Z", "C:\\album", pictures));
    EXPECT_EQ("\"two\nlines\"", CsvField("two\nlines"));
}
