/*
 * UNLHA32: packs one file into an LHA archive and unpacks it again.
 *
 * Command lines accepted by Unlha():
 *   a -n -a1 -jss -jyko -gm1 "ARCHIVE.LZH" "SOURCE"
 *       Creates ARCHIVE.LZH (replacing it) holding SOURCE under its bare file name.
 *   e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 "ARCHIVE.LZH" "TARGET"
 *       Unpacks the archive's file to TARGET (replacing it), with its stored time and permissions.
 * Relative paths are resolved against the current directory. On failure nothing is left at the
 * destination. Return codes: 0 success, 1 bad command line, 2 cannot read, 3 cannot write,
 * 4 damaged header, 5 damaged data, 6 unsupported method or header level, 7 file of 4 GiB or more,
 * 8 archive holds no file, 9 internal error.
 */
#ifndef UNLHA32_H
#define UNLHA32_H

#ifdef _WIN32
#  ifdef UNLHA32_BUILDING
#    define UNLHA32_API __declspec(dllexport)
#  else
#    define UNLHA32_API __declspec(dllimport)
#  endif
#  define UNLHA32_CALL __stdcall
#else
#  define UNLHA32_API __attribute__((visibility("default")))
#  define UNLHA32_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Runs one command line. A short message, NUL-terminated, is written to output (when outputSize > 0). */
UNLHA32_API int UNLHA32_CALL Unlha(void* hwnd, const char* cmdLine, char* output, unsigned long outputSize);

/* Version number times 100. */
UNLHA32_API unsigned short UNLHA32_CALL UnlhaGetVersion(void);

/* Accepted for compatibility; the library never shows windows or cursors. Return non-zero. */
UNLHA32_API int UNLHA32_CALL UnlhaSetBackGroundMode(int mode);
UNLHA32_API int UNLHA32_CALL UnlhaSetCursorMode(int mode);

/* Selects the packing method: 5 = -lh5- (default), 6 = -lh6-, 7 = -lh7-. Returns 0 for other values. */
UNLHA32_API int UNLHA32_CALL UnlhaSetMethod(int level);

#ifdef __cplusplus
}
#endif

#endif
