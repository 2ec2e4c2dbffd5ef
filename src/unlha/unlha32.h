// SPDX-License-Identifier: GPL-3.0-or-later
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
 *
 * The file's own name is stored in Shift-JIS (CP932); a name Shift-JIS cannot hold is stored as its
 * UTF-8 bytes.
 *
 * Linux (libunlha32.so): paths are bytes, normally UTF-8. Unix permissions are stored and restored.
 *
 * Windows (UNLHA32.DLL, exports undecorated): the command line comes in the ANSI code page, as the
 * program's toLocal8Bit() makes it, or in UTF-8. A line that is not valid UTF-8 is ANSI; one that reads
 * differently in the two is UTF-8 only when the file to read (the source, or the archive to unpack)
 * exists under the UTF-8 reading and not under the ANSI one. Files are then opened by their UTF-16 names,
 * so names outside the code page and paths longer than MAX_PATH work. Packing stores the DOS attributes;
 * unpacking makes the file read-only when the archive says so (a stored Unix mode without the owner's
 * write bit, or else the DOS read-only attribute), and replaces a read-only target as Linux does. Messages
 * in the output buffer come back in the encoding of the command line.
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

/* Shows the caller the original bytes of every file packed from now on, in the read that packs
 * them: observer(context, data, size) for each block, in order, each byte once (a file stored
 * after a failed compression is read again, but not shown again); at the start of each file it
 * is called once with size 0 (data NULL), so that the caller can start over. The caller hashes
 * the file without reading it a second time. A null observer stops it. The observer is the
 * calling thread's: it sees only the files that thread packs, and other threads may pack at
 * the same time with observers of their own. Returns non-zero. */
typedef void (UNLHA32_CALL* UnlhaReadObserver)(void* context, const void* data, unsigned long size);
UNLHA32_API int UNLHA32_CALL UnlhaSetReadObserver(UnlhaReadObserver observer, void* context);

#ifdef __cplusplus
}
#endif

#endif
