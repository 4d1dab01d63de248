#include "tests/picture/FakePictureLibrary.h"

#include "ImageLoad.h"
#include "tests/support/TestPictures.h"

namespace fakelib {
namespace {

struct State {
    int fileType = 0;
    bool loaderFails = true;
    int errorNumber = 0;
    int saveResult = 1;
    std::vector<std::uint8_t> block;
    std::vector<Call> calls;
    HGLOBAL lastLoaded = nullptr;
};

State& TheState()
{
    static State state;
    return state;
}

void Record(const char* function, const char* path, HGLOBAL block = nullptr, int quality = -1)
{
    TheState().calls.push_back({function, path != nullptr ? path : "(null)", block, quality});
}

HGLOBAL Load(const char* function, const char* path)
{
    Record(function, path);
    State& state = TheState();
    if (state.loaderFails)
        return nullptr;
    state.lastLoaded = GlobalBlock(state.block);
    return state.lastLoaded;
}

int Save(const char* function, const char* path, HGLOBAL block, int quality = -1)
{
    Record(function, path, block, quality);
    return TheState().saveResult;
}

}  // namespace

void Reset() { TheState() = State(); }
void SetFileType(int type) { TheState().fileType = type; }
void SetLoaderBlock(const std::vector<std::uint8_t>& bytes)
{
    TheState().block = bytes;
    TheState().loaderFails = false;
}
void SetLoaderFailure(int errorNumber)
{
    TheState().loaderFails = true;
    TheState().errorNumber = errorNumber;
}
void SetSaveResult(int result) { TheState().saveResult = result; }
const std::vector<Call>& Calls() { return TheState().calls; }
HGLOBAL LastLoadedBlock() { return TheState().lastLoaded; }

}  // namespace fakelib

using fakelib::Load;
using fakelib::Save;

extern "C" {

int __cdecl FileType(const char* path)
{
    fakelib::Record("FileType", path);
    return fakelib::TheState().fileType;
}

HGLOBAL __cdecl LoadBMP(const char* path) { return Load("LoadBMP", path); }
HGLOBAL __cdecl LoadGIF(const char* path) { return Load("LoadGIF", path); }
HGLOBAL __cdecl LoadPCX(const char* path) { return Load("LoadPCX", path); }
HGLOBAL __cdecl LoadTGA(const char* path) { return Load("LoadTGA", path); }
HGLOBAL __cdecl LoadJPG(const char* path) { return Load("LoadJPG", path); }
HGLOBAL __cdecl LoadTIF(const char* path) { return Load("LoadTIF", path); }

int __cdecl SaveBMP(const char* path, HGLOBAL dib) { return Save("SaveBMP", path, dib); }
int __cdecl SaveGIF(const char* path, HGLOBAL dib) { return Save("SaveGIF", path, dib); }
int __cdecl SavePCX(const char* path, HGLOBAL dib) { return Save("SavePCX", path, dib); }
int __cdecl SaveTGA(const char* path, HGLOBAL dib) { return Save("SaveTGA", path, dib); }
int __cdecl SaveTIF(const char* path, HGLOBAL dib) { return Save("SaveTIF", path, dib); }
int __cdecl SaveJPG(const char* path, HGLOBAL dib, int quality) { return Save("SaveJPG", path, dib, quality); }

int __cdecl GetLastPicLibError(void)
{
    fakelib::Record("GetLastPicLibError", "");
    return fakelib::TheState().errorNumber;
}

}
