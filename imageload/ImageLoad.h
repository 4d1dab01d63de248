/* ImageLoad: the picture library. Reads and writes BMP, GIF, PCX, TGA, JPG
 * and TIF files; pictures travel as a movable global memory block laid out
 * like a BMP file (14-byte file header, 40-byte information header, a full
 * colour table of 2^bits entries when bits <= 8, uncompressed rows bottom
 * row first, each padded to 4 bytes, positive height).
 *
 * All functions use the C calling convention and are exported by name.
 * Paths are 8-bit strings in the system code page. */
#ifndef IMAGELOAD_H
#define IMAGELOAD_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Users declare the functions plainly: the import library then resolves
 * them, and a test can link a stand-in library in its place. */
#ifdef IMAGELOAD_BUILD
#define IMAGELOAD_API __declspec(dllexport)
#else
#define IMAGELOAD_API
#endif

/* File type numbers returned by FileType. */
#define IL_TYPE_UNKNOWN 0
#define IL_TYPE_BMP 1
#define IL_TYPE_GIF 2
#define IL_TYPE_PCX 3
#define IL_TYPE_TGA 4
#define IL_TYPE_JPG 5
#define IL_TYPE_TIF 6

/* Error numbers returned by GetLastPicLibError (0 before any failure). */
#define IL_ERR_NONE 0
#define IL_ERR_FILE 101         /* file not found, unreadable or empty */
#define IL_ERR_UNSUPPORTED 102  /* a variant of the format this library does not handle */
#define IL_ERR_CORRUPT 103      /* corrupt or truncated data, or not this format */
#define IL_ERR_TOO_LARGE 104    /* larger than IL_MAX_PIXELS, or sizes out of range */
#define IL_ERR_NO_MEMORY 105    /* an allocation failed */
#define IL_ERR_WRITE 106        /* the output file could not be written */
#define IL_ERR_NO_PICTURE 107   /* null block, or a block that is not a picture in the layout */

int IMAGELOAD_API __cdecl FileType(const char* path);

HGLOBAL IMAGELOAD_API __cdecl LoadBMP(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadGIF(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadPCX(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadTGA(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadJPG(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadTIF(const char* path);

int IMAGELOAD_API __cdecl SaveBMP(const char* path, HGLOBAL dib);
int IMAGELOAD_API __cdecl SaveGIF(const char* path, HGLOBAL dib);
int IMAGELOAD_API __cdecl SavePCX(const char* path, HGLOBAL dib);
int IMAGELOAD_API __cdecl SaveTGA(const char* path, HGLOBAL dib);
int IMAGELOAD_API __cdecl SaveJPG(const char* path, HGLOBAL dib, int quality);
int IMAGELOAD_API __cdecl SaveTIF(const char* path, HGLOBAL dib);

int IMAGELOAD_API __cdecl GetLastPicLibError(void);

#ifdef __cplusplus
}
#endif

#endif
