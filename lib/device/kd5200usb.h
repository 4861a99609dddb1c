/*
 * kd5200usb.h - C interface of the KD5200 USB access library.
 *
 * Songdock loads the library with dlopen and resolves every function below;
 * kdrom links it. Integers are 32-bit; player file names are NUL-terminated
 * bytes in the player's code page (see KD5200X_SetCodePage), PC paths are
 * the file system's bytes,
 * the device handle and parent windows are opaque pointers. Every function
 * that returns int32_t returns nonzero on success; after a failure
 * KD5200_GetError and KD5200_GetWindowsError give the codes, which the caller
 * passes to KD5200_DispError.
 *
 * The functions named KD5200X_* are optional extensions of the virtual
 * player. Songdock looks them up with dlsym and uses them only when present;
 * a library without them works the same, minus the hooks.
 */
#ifndef KD5200USB_H
#define KD5200USB_H

#include <stdint.h>

/* The calling convention of every function and hook: on Windows stdcall,
 * unless the kit is built for a cdecl library (KD5200_CDECL defined). */
#if defined(_WIN32) && !defined(KD5200_CDECL)
#define KD5200_CALL __stdcall
#else
#define KD5200_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque handle written by KD5200_Open; one per process. */
typedef void* KD5200_HANDLE;
/* Opaque parent window of the calling program, or NULL. */
typedef void* KD5200_HWND;

#define KD5200_BLOCK_SIZE 16384
#define KD5200_MAX_ENTRIES 512
#define KD5200_MEMORY_INTERNAL 0
#define KD5200_MEMORY_EXTERNAL 1
/* Size of the player's code memory: the largest firmware image or font. */
#define KD5200_MAX_IMAGE_BYTES (16 * 1024 * 1024)

/* Conversion kinds of KD5200_Upload. */
#define KD5200_CONVERT_NONE 0
#define KD5200_CONVERT_QKA_TO_WAV 1
#define KD5200_CONVERT_QDX_TO_WAV 2

/* Firmware targets of KD5200_UpgradeFirmware. */
#define KD5200_TARGET_APPLICATION 0
#define KD5200_TARGET_BOOT 1
/* ROM selection: 2 writes through the development system, anything else stand-alone. */
#define KD5200_ROM_MDS 2

/* Error codes. 3, 4, 7, 12 and 14 are set or passed by the callers too. */
#define KD5200_ERR_NONE 0
#define KD5200_ERR_NOT_CONNECTED 3     /* no player open */
#define KD5200_ERR_DIRECTORY 4         /* directory read failed (also: corrupt storage) */
#define KD5200_ERR_FILE_NOT_FOUND 6    /* a PC file does not exist; Windows error 2 with it */
#define KD5200_ERR_NO_MEMORY 7         /* out of memory */
#define KD5200_ERR_NO_CAPACITY 12      /* memory reports no capacity (absent) */
#define KD5200_ERR_CANCELLED 14        /* stopped by the user; never shown */
#define KD5200_ERR_NOT_ATTACHED 20     /* the player is unplugged */
#define KD5200_ERR_MEMORY_FULL 21      /* not enough free blocks */
#define KD5200_ERR_DIRECTORY_FULL 22   /* 512 entries already */
#define KD5200_ERR_NO_ENTRY 23         /* entry number out of range */
#define KD5200_ERR_BAD_NAME 24         /* invalid file name */
#define KD5200_ERR_NAME_EXISTS 25      /* a file of that name is already on the memory */
#define KD5200_ERR_FILE_READ 26        /* a PC file cannot be read; errno as Windows error */
#define KD5200_ERR_FILE_WRITE 27       /* a PC file cannot be written; errno as Windows error */
#define KD5200_ERR_TIMEOUT 28          /* the player did not answer in time */
#define KD5200_ERR_BAD_IMAGE 29        /* empty or unreadable firmware image */
#define KD5200_ERR_NO_FONT 30          /* no LCD font installed */
#define KD5200_ERR_RANGE 31            /* block range outside the memory */
#define KD5200_ERR_BAD_ARGUMENT 32     /* null pointer, bad memory or count */
#define KD5200_ERR_BAD_HANDLE 33       /* handle not from KD5200_Open or already closed */
#define KD5200_ERR_CONVERSION 34       /* QKA/QDX conversion failed */
#define KD5200_ERR_STORAGE 35          /* the player's storage failed (I/O) */
#define KD5200_ERR_BUSY 36             /* another program holds the player past the time-out */
#define KD5200_ERR_FILE_TOO_LARGE 37   /* a file of 4 GiB or more, or a font over the limit */
#define KD5200_ERR_IMAGE_TOO_LARGE 38  /* a firmware image over KD5200_MAX_IMAGE_BYTES */
#define KD5200_ERR_OUTPUT_IN_PLAYER 39 /* an output path inside the player's own storage */
#define KD5200_ERR_REPLUGGED 40        /* unplugged since the handle was opened: open it again */
#define KD5200_ERR_NOT_REGULAR 41      /* a PC file is a FIFO, a device or a socket */

#pragma pack(push, 1)
/* Directory entry, 300 bytes, as filled by KD5200_Refresh. */
typedef struct KD5200_DIRENTRY {
    char name[9]; /* base name, NUL-terminated, right-padded with spaces */
    char ext[4];  /* extension, NUL-terminated, right-padded with spaces */
    uint8_t reserved[19];
    uint32_t size; /* file size in bytes, little-endian */
    char
        longName[264]; /* long name, NUL-terminated; first byte 0 when only the short name exists */
} KD5200_DIRENTRY;

/* Memory information, 3 x 32-bit. */
typedef struct KD5200_MEMINFO {
    uint32_t fileCount;
    uint32_t capacityBlocks; /* 0: the memory is absent */
    uint32_t usedBlocks;
} KD5200_MEMINFO;

/* Font record, 268 bytes, as filled by KD5200_GetFontInfo. */
typedef struct KD5200_FONTINFO {
    char fileName[264]; /* NUL-terminated, at most 259 characters used */
    uint32_t size;      /* font size in bytes */
} KD5200_FONTINFO;
#pragma pack(pop)

int32_t KD5200_CALL KD5200_Open(KD5200_HANDLE* handle);
int32_t KD5200_CALL KD5200_IsValidHandle(KD5200_HANDLE handle);
int32_t KD5200_CALL KD5200_TestConnection(void);
int32_t KD5200_CALL KD5200_Close(KD5200_HANDLE handle);
int32_t KD5200_CALL KD5200_Free(KD5200_HANDLE handle);
/* Time-outs of one exchange with the player, 0 for none: receiveMs for each
 * chunk read from it and for the answer to a command (a format), sendMs for
 * each chunk written to it. A change waits at most receiveMs for another
 * program's change to end (KD5200_ERR_BUSY). */
int32_t KD5200_CALL KD5200_SetTimeout(int32_t receiveMs, int32_t sendMs);

/* count: in, the capacity of entries (at most 512); out, the entries written. */
int32_t KD5200_CALL KD5200_Refresh(KD5200_HANDLE handle, int32_t memory, KD5200_MEMINFO* information,
                       KD5200_DIRENTRY* entries, int32_t* count);

void KD5200_CALL KD5200_SetError(int32_t code);
int32_t KD5200_CALL KD5200_GetError(void);
int32_t KD5200_CALL KD5200_GetWindowsError(void);
void KD5200_CALL KD5200_DispError(KD5200_HWND parent, int32_t code, int32_t windowsError);

/* Player to PC. playerName: the player's name when the PC name differs, else NULL. */
/* size: the entry's size in bytes, unsigned (files reach 4 GiB - 1). */
int32_t KD5200_CALL KD5200_Upload(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory, int32_t entry,
                      const char* pcPath, const char* playerName, uint32_t size,
                      int32_t conversion);
/* PC to player. */
int32_t KD5200_CALL KD5200_Download(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                        const char* pcPath);
int32_t KD5200_CALL KD5200_Delete(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory, int32_t entry,
                      const char* shownName);
/* Exchanges an entry with its neighbour (entry - 1 or entry + 1). */
int32_t KD5200_CALL KD5200_Replace(KD5200_HANDLE handle, int32_t memory, int32_t entry, int32_t neighbour);
int32_t KD5200_CALL KD5200_Rename(KD5200_HANDLE handle, int32_t memory, int32_t entry, const char* newName,
                      KD5200_DIRENTRY* cachedEntry);
int32_t KD5200_CALL KD5200_Format(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory);
int32_t KD5200_CALL KD5200_FormatLow(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory);

int32_t KD5200_CALL KD5200_UpgradeFirmware(KD5200_HWND parent, KD5200_HANDLE handle, int32_t target,
                               int32_t romSelect, const char* imagePath, const char* chosenPath);
/* Version text of the attached player's firmware, or NULL when none is attached. The
   text stays valid until the same thread calls this again. */
const char* KD5200_CALL KD5200_GetFirmwareVersionString(void);

int32_t KD5200_CALL KD5200_GetFontInfo(KD5200_HANDLE handle, KD5200_FONTINFO* font);
int32_t KD5200_CALL KD5200_DownloadFont(KD5200_HWND parent, KD5200_HANDLE handle, const char* fontPath);
int32_t KD5200_CALL KD5200_EraseFont(KD5200_HANDLE handle);
int32_t KD5200_CALL KD5200_UploadFont(KD5200_HWND parent, KD5200_HANDLE handle, const char* pcPath,
                          int32_t reserved, int32_t fontSize);
int32_t KD5200_CALL KD5200_UploadRawData(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                             int32_t firstBlock, int32_t blockCount, const char* pcPath,
                             int32_t reserved, int32_t bytes);

/* ---- Optional extensions (virtual player only) ------------------------- */

/* Shows a message instead of printing it on standard error. message is the
 * complete one-line text that KD5200_DispError would print. */
typedef void (KD5200_CALL *KD5200X_DisplayHook)(KD5200_HWND parent, int32_t code, int32_t windowsError,
                                    const char* message, void* user);
/* NULL restores printing on standard error. */
void KD5200_CALL KD5200X_SetDisplayHook(KD5200X_DisplayHook hook, void* user);

/* Called during long transfers and formats with the work done and the total
 * (bytes or blocks). A nonzero return cancels the operation with code 14 and
 * leaves the previous state. */
typedef int32_t (KD5200_CALL *KD5200X_ProgressHook)(KD5200_HWND parent, const char* operation, int64_t done,
                                        int64_t total, void* user);
void KD5200_CALL KD5200X_SetProgressHook(KD5200X_ProgressHook hook, void* user);

/* A non-blocking file descriptor that becomes readable when the player is
 * plugged or unplugged (or -1 when none can be made). The caller drains it by
 * reading until it would block; the library owns and closes it. */
int32_t KD5200_CALL KD5200X_GetChangeNotifier(void);

/* The plug generation: a count that changes every time the player is plugged
 * in or unplugged, or -1 when it cannot be read. Two equal readings mean no
 * unplug in between, however short. A handle opened before an unplug fails
 * after it with KD5200_ERR_REPLUGGED, even when the player is back; the
 * caller closes it and opens the player again. May be called from any
 * thread. */
int64_t KD5200_CALL KD5200X_GetPlugGeneration(void);

/* Sets the code page of the names the library takes and returns (an iconv
 * name such as "CP949"); NULL or "" returns to KD5200_CODEPAGE, else the code
 * page of the person's language. A library without it uses the code page of
 * the system, as the caller does by default. */
void KD5200_CALL KD5200X_SetCodePage(const char* codePage);

#ifdef __cplusplus
}
#endif

#endif /* KD5200USB_H */
