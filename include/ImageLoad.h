/* ImageLoad: the picture library. Reads and writes BMP, GIF, PCX, TGA, JPG
 * and TIF files; pictures travel as a movable global memory block laid out
 * like a BMP file (14-byte file header, 40-byte information header, a full
 * colour table of 2^bits entries when bits <= 8, uncompressed rows bottom
 * row first, each padded to 4 bytes, positive height).
 *
 * All functions use the C calling convention and are exported by name.
 * Paths are 8-bit strings in the system code page.
 *
 * Blocks the loaders return
 *   Allocated with GlobalAlloc(GMEM_MOVEABLE), unlocked; the caller frees
 *   them with GlobalFree. Bit count 1, 4, 8, 16 (5-5-5, top bit unused),
 *   24 (blue, green, red) or 32 (blue, green, red, and a fourth byte that
 *   carries the source's alpha where it has one). Planes 1, compression 0,
 *   colours-used = table size. Each picture keeps its own depth where the
 *   layout can hold it, else becomes the nearest one:
 *   BMP  1/4/8/16/24/32 as they are (OS/2 and all Windows headers); RLE4
 *        and RLE8 decompressed (skipped pixels take index 0); top-down rows
 *        flipped; bit fields 5-5-5 stay 16-bit, 8-8-8 stay 32-bit, any other
 *        masks become 24-bit (32-bit when there is an alpha mask).
 *   GIF  the first frame on its logical screen (uncovered area in the
 *        background colour), 1-bit for up to 2 colours, 4-bit up to 16,
 *        else 8-bit; interlaced rows put in order; LZW minimum code sizes
 *        up to 11.
 *   PCX  1 plane of 1 bit: 1-bit (colours from the header table; an empty
 *        table means black and white); 2 to 4 planes of 1 bit, or 1 plane of
 *        2 or 4 bits: 4-bit; 1 plane of 8 bits: 8-bit with the trailing
 *        256-colour table (grey when a pre-version-5 file has none);
 *        3 planes of 8 bits: 24-bit; 4 planes: 32-bit.
 *   TGA  colour-mapped (8-bit indices): 1, 4 or 8-bit by the size of the
 *        map; true colour 15/16-bit: 16-bit; 24: 24; 32: 32; grey 8-bit
 *        (and grey+alpha 16-bit): 8-bit grey; raw or run-length coded, any
 *        of the four row and column orders.
 *   JPG  grey: 8-bit with the grey ramp; YCbCr/RGB: 24-bit; CMYK and YCCK:
 *        24-bit (Adobe's inverted CMYK recognised by its marker). Damage
 *        that libjpeg-turbo only warns about (stray bytes before a marker,
 *        a damaged APP block, data cut short or damaged inside a scan) is
 *        shown as libjpeg-turbo's own tools show it, what is missing grey;
 *        a file that ends (or reaches its end marker) before its first
 *        scan's data is refused.
 *   TIF  the first page. Palette 1/4/8-bit keep their depth (2-bit becomes
 *        4-bit); grey 1/4/8-bit keep their depth with a grey table
 *        (min-is-white inverted), 16-bit grey becomes 8-bit grey; RGB of 8 or
 *        16 bits per sample: 24-bit, with an alpha sample 32-bit; anything
 *        else libtiff can read (tiles, other orientations, YCbCr, CMYK,
 *        planar) becomes 24-bit, or 32-bit with extra samples.
 *
 * What each saver writes (the block itself is never changed; every depth
 * above is accepted)
 *   SaveBMP  the block as it is, with the file header put right.
 *   SaveGIF  GIF89a, one frame. 1/4/8-bit with their own table; deeper
 *            pictures with up to 256 distinct colours exactly, others
 *            quantised to 256 colours by median cut.
 *   SavePCX  version 5, run-length coded: 1-bit as 1 plane (table in the
 *            header), 4-bit as 4 planes of 1 bit, 8-bit as 1 plane with the
 *            trailing table, 16/24-bit as 3 planes of 8 bits, 32-bit as 4.
 *   SaveTGA  uncompressed, bottom row first: 1/4/8-bit colour-mapped with
 *            8-bit indices and a 24-bit map the size of the block's table,
 *            16-bit as 16-bit 5-5-5 true colour (no attribute bit), 24 as
 *            24, 32 as 32 with 8 alpha bits.
 *   SaveJPG  baseline; 8-bit pictures whose table is the grey ramp as one
 *            grey component, all others as colour (from their RGB) with
 *            full-resolution chroma at quality 90 and above, 4:2:0 below.
 *            Quality must be 1 to 100.
 *   SaveTIF  LZW strips, top row first: 1/4/8-bit as palette pictures
 *            (8-bit with the grey ramp as plain grey), 16/24-bit as 8-bit
 *            RGB, 32-bit as RGB with an unassociated alpha sample.
 *   A save writes a temporary file of a short name of its own ("~il" and
 *   numbers, ".tmp") beside the target and renames it over the target, so
 *   a failed save leaves no file, or the old one, under the target name.
 *   Any target that fits MAX_PATH once made absolute can be written,
 *   whatever the length of its name.
 *
 * How FileType recognises a file (by content; the name plays no part
 * except for TGA)
 *   BMP "BM" and a known information header size; GIF "GIF87a"/"GIF89a";
 *   JPG FF D8 FF; TIF "II*\0", "MM\0*" (or BigTIFF); PCX 0x0A, a known
 *   version, run-length coding, 1/2/4/8 bits, 1 to 4 planes and a sane
 *   window; TGA has no signature: a plausible header (known image type,
 *   colour map and depth that fit it, non-zero size) and the extension
 *   ".tga" in any case. Anything else, and a missing, empty or unreadable
 *   file, is 0.
 *
 * Threads
 *   Every function may be called from several threads at once: calls share
 *   no state, and each thread has its own last error number. (Relative
 *   paths are taken from the process's current directory at the call.)
 *
 * Files read
 *   A file is opened for reading with read, write and delete sharing, so
 *   that the program that writes it may overwrite, rename or delete it
 *   while it is read; it is open only while a call reads it.
 *
 * Limits
 *   A picture of more than IL_MAX_PIXELS pixels (width x height x 4 above
 *   256 MiB) is refused with IL_ERR_TOO_LARGE before anything is allocated;
 *   files above 512 MiB are refused the same way. Width and height above
 *   65535 cannot be saved as GIF, PCX or TGA (above 65500 as JPG). */
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

/* Largest picture the library loads: 8192 x 8192 or any other shape of as
 * many pixels. */
#define IL_MAX_PIXELS (64L * 1024 * 1024)

/* Error numbers returned by GetLastPicLibError: the calling thread's last
 * one, 0 before any failure on that thread. Every failing call sets one; a
 * call that succeeds leaves the number as it was. FileType sets IL_ERR_FILE
 * or IL_ERR_CORRUPT when it returns 0. */
#define IL_ERR_NONE 0
#define IL_ERR_FILE 101         /* file not found, unreadable or empty */
#define IL_ERR_UNSUPPORTED 102  /* a variant of the format this library does not handle */
#define IL_ERR_CORRUPT 103      /* corrupt or truncated data, or not this format */
#define IL_ERR_TOO_LARGE 104    /* larger than IL_MAX_PIXELS, or sizes out of range */
#define IL_ERR_NO_MEMORY 105    /* an allocation failed */
#define IL_ERR_WRITE 106        /* the output file could not be written */
#define IL_ERR_NO_PICTURE 107   /* null block, or a block that is not a picture in the layout */
#define IL_ERR_REFUSED 108      /* the caller's fit procedure refused the picture */
#define IL_ERR_STOPPED 109      /* the caller asked the call to stop */

int IMAGELOAD_API __cdecl FileType(const char* path);

HGLOBAL IMAGELOAD_API __cdecl LoadBMP(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadGIF(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadPCX(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadTGA(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadJPG(const char* path);
HGLOBAL IMAGELOAD_API __cdecl LoadTIF(const char* path);

/* Chooses the size a picture is decoded to from its size in the file. Returns
 * non-zero with *targetWidth and *targetHeight set (0 or more each), or 0 to
 * refuse the picture. On entry both hold the picture's own size. */
typedef int (__cdecl *IL_FIT_PROC)(void* context, int width, int height, int* targetWidth, int* targetHeight);

/* LoadJPG followed by a nearest-neighbour resample to the size fit chooses
 * (target row i from the top shows source row H * i / h, column j source
 * column W * j / w), in one pass over the file's rows without a buffer of
 * the whole picture. The block equals, pixel for pixel and in its colour
 * table and information header, LoadJPG's block resampled so; only the file
 * header's size field differs (here it is the block's own).
 *   Fails as LoadJPG fails (the same numbers, before fit is called when the
 *   file itself is refused); then IL_ERR_REFUSED when fit returns 0, and
 *   IL_ERR_TOO_LARGE for a negative target or one of more than
 *   IL_MAX_PIXELS pixels. A null fit keeps the picture's own size. A
 *   target of 0 x N or N x 0 gives a block of headers and colour table with
 *   that width and height and no pixel bytes (the whole file is still
 *   decoded, so damage fails it as it fails LoadJPG). fit runs on the
 *   calling thread, once, and must not throw. */
HGLOBAL IMAGELOAD_API __cdecl LoadJPGFitted(const char* path, IL_FIT_PROC fit, void* context);

/* Chooses the rectangle of a picture to read from its size in the file.
 * Returns non-zero with the rectangle set (left, top, width, height; the
 * library clips it to the picture), or 0 to refuse the picture. */
typedef int (__cdecl *IL_REGION_PROC)(void* context, int width, int height, int* x, int* y, int* regionWidth,
                                      int* regionHeight);
/* Takes one row of the rectangle: y counts from the picture's top, bgr holds
 * the rectangle's width of pixels as blue, green, red bytes. Returns 0 to
 * stop reading. */
typedef int (__cdecl *IL_ROW_PROC)(void* context, int y, const unsigned char* bgr);

/* Notes of where each band of rows of a JPEG picture begins in its
 * compressed data, for ReadJPGRegion: a movable block (the caller frees it
 * with GlobalFree) that belongs to the file as it is now. Null, with
 * IL_ERR_UNSUPPORTED, for a file that has no such notes (progressive,
 * arithmetic-coded or restart-marked files, or damaged compressed data):
 * ReadJPGRegion then works without them. Reads the whole file once, about as
 * long as its rows take to skip. */
HGLOBAL IMAGELOAD_API __cdecl IndexJPG(const char* path);
/* IndexJPG that ends soon after *stop becomes non-zero (set by another
 * thread; the reading of the file and the walk of its rows look at it
 * often), then with null and IL_ERR_STOPPED. A null stop never stops. */
HGLOBAL IMAGELOAD_API __cdecl IndexJPGUntil(const char* path, const volatile LONG* stop);

/* The part of a JPEG picture that a view shows, without a block of the whole
 * picture: region chooses the rectangle, then row takes its rows top row
 * first, each pixel the colour LoadJPG's block has at that place (grey
 * pictures as three equal bytes). Only the columns around the rectangle are
 * decoded, and the rows down to its last; with the file's notes (IndexJPG;
 * null: none) only a band of rows around it, and only the file's headers
 * and that band's compressed data are read from it. Damage outside what is read
 * goes unnoticed. Notes that do not belong to the file as it is now are not
 * used. Returns 1 when the rows were read (all of them, or until row
 * returned 0; none when the rectangle lies outside the picture), else 0 with
 * the error as LoadJPG's, or IL_ERR_REFUSED when region returned 0. Both
 * procedures run on the calling thread, get the same context and must not
 * throw. */
int IMAGELOAD_API __cdecl ReadJPGRegion(const char* path, HGLOBAL index, IL_REGION_PROC region, IL_ROW_PROC row,
                                        void* context);

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
