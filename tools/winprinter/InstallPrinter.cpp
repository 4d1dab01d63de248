// Installs a PostScript printer whose port is a file, so that printing can
// be tried and checked without any printing system: the page lands in the
// file as PostScript. Makes it the default printer. Does nothing when the
// printer exists already.
//
//   install_printer.exe NAME PPD-FILE OUTPUT-FILE
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

bool PrinterExists(const char* name)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &printer, nullptr))
        return false;
    ClosePrinter(printer);
    return true;
}

bool CopyPpdToDriverFolder(const char* ppd, std::string* installedName)
{
    char folder[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
        return false;
    std::string source = ppd;
    std::string name = source.substr(source.find_last_of("\\/") + 1);
    std::string target = std::string(folder) + "\\" + name;
    CreateDirectoryA(folder, nullptr);
    if (!CopyFileA(ppd, target.c_str(), FALSE))
        return false;
    *installedName = name;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: install_printer NAME PPD-FILE OUTPUT-FILE\n");
        return 2;
    }
    const char* name = argv[1];
    if (PrinterExists(name)) {
        SetDefaultPrinterA(name);
        return 0;
    }
    std::string ppdName;
    if (!CopyPpdToDriverFolder(argv[2], &ppdName)) {
        std::fprintf(stderr, "cannot copy the PPD file (%lu)\n", GetLastError());
        return 1;
    }
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(name);
    driver.pEnvironment = const_cast<char*>("Windows NT x86");
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    driver.pDataFile = const_cast<char*>(ppdName.c_str());
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        std::fprintf(stderr, "cannot add the driver (%lu)\n", GetLastError());
        return 1;
    }
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(name);
    info.pPortName = argv[3];
    info.pDriverName = const_cast<char*>(name);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer == nullptr) {
        std::fprintf(stderr, "cannot add the printer (%lu)\n", GetLastError());
        return 1;
    }
    ClosePrinter(printer);
    if (!SetDefaultPrinterA(name)) {
        std::fprintf(stderr, "cannot make the printer the default (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
