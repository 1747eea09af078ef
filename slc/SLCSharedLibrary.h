#ifndef SLC_SHARED_LIBRARY_H
#define SLC_SHARED_LIBRARY_H
/* The sliced-loop library: a C interface for reading sliced-loop files (".sl2", ".slc", ".slv").
 *
 *   if (!Open()) ...;                              once per process user, paired with Close()
 *   SLCHandle h = NULL;
 *   if (SLCCreate(&h, bytes, size, 0, 0) == kSLCOK) {   the bytes are copied: free them at will
 *     SLCInfo info;
 *     if (SLCGetInfo(h, sizeof info, &info) == kSLCOK) ... info.sliceCount ...
 *     SLCDelete(&h);                                 sets h to NULL
 *   }
 *   Close();
 *
 * Every function returns a result code (below) and never throws or aborts on bad input: every
 * size in a file is checked against the buffer before it is used. Handles are independent of
 * each other, so threads may work on different handles at once; one handle is used by one
 * thread at a time. The only state shared between handles is the count of Open calls.
 *
 * The file format and which damage is found by which function: slc/README.md.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SLC_EXPORT __attribute__((visibility("default")))
#else
#define SLC_EXPORT
#endif

/* Result codes. */
enum {
  kSLCOK = 1,
  kSLCBadArgument = 2,          /* a null pointer, non-zero reserved argument, index or value out of range */
  kSLCNoCreatorInfo = 3,        /* SLCGetCreatorInfo: the file stores no creator block (not an error) */
  kSLCBufferTooSmall = 4,       /* the caller's buffer cannot hold the answer */
  kSLCNotSlicedLoop = 5,        /* the buffer does not start with the magic "SLCF" */
  kSLCTruncated = 6,            /* the header or a region it names extends past the end of the buffer */
  kSLCBadFormat = 7,            /* impossible header values, overlapping regions, a malformed creator block or slice table */
  kSLCChecksumMismatch = 8,     /* the header, creator block, slice table or audio fails its CRC-32 */
  kSLCUnsupportedVersion = 9,   /* a format major version other than 1 */
  kSLCOutOfMemory = 10,
  kSLCNotOpen = 11,             /* SLCCreate before Open (or after the last Close) */
  kSLCPreviewStopped = 12       /* SLCRenderPreviewBatch without SLCStartPreview */
};
typedef int32_t SLCResult;

typedef struct SLCObject* SLCHandle;

/* The answer of SLCGetInfo and SLCGetInfoFromBuffer: eight 32-bit fields in host order. */
typedef struct SLCInfo {
  uint32_t kind;           /* four-character code, first character in the high byte: 'SLC2', 'SLC ', 'SVSO' */
  uint32_t frameCount;
  uint32_t sliceCount;
  uint32_t sampleRate;     /* frames per second of the stored audio */
  uint32_t channels;       /* 1 or 2 */
  uint32_t bitsPerSample;  /* 16 */
  uint32_t tempo;          /* thousandths of a beat per minute */
  uint32_t formatVersion;  /* major << 16 | minor */
} SLCInfo;

/* The answer of SLCGetSliceInfo, in frames of the stored audio. */
typedef struct SLCSliceInfo {
  uint32_t startFrame;
  uint32_t frameCount;
} SLCSliceInfo;

/* The library's version, read by loaders without calling any code. */
typedef struct SLCVersion {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
  uint32_t build;
} SLCVersion;
SLC_EXPORT extern const SLCVersion SLCFileVersion;

/* Returns 1 and counts one user of the library; 0 only when the count would overflow. */
SLC_EXPORT int32_t Open(void);
/* Ends one Open. Handles still alive stay usable; only SLCCreate needs an open library. */
SLC_EXPORT void Close(void);

/* Checks the header of `byteCount` bytes and, when it is sound, copies the bytes into a new
 * handle. `flags` and `reserved` must be 0. On any result but kSLCOK *handle is NULL. */
SLC_EXPORT SLCResult SLCCreate(SLCHandle* handle, const void* bytes, uint32_t byteCount, uint32_t flags,
                               uint32_t reserved);
/* Releases *handle (NULL is allowed) and sets it to NULL. */
SLC_EXPORT SLCResult SLCDelete(SLCHandle* handle);

/* Checks the slice table and the audio (the first call does; later calls repeat its answer) and
 * fills an SLCInfo; `size` is the buffer's size, at least sizeof(SLCInfo). */
SLC_EXPORT SLCResult SLCGetInfo(SLCHandle handle, uint32_t size, void* info);
/* SLCCreate and SLCGetInfo in one, over the caller's bytes, without a handle or a copy. */
SLC_EXPORT SLCResult SLCGetInfoFromBuffer(const void* bytes, uint32_t byteCount, uint32_t size, void* info);
/* Copies the creator text, NUL-terminated, into the buffer of `size` bytes (1280 always holds
 * it). kSLCNoCreatorInfo when the file stores none; the buffer then holds an empty text. */
SLC_EXPORT SLCResult SLCGetCreatorInfo(SLCHandle handle, uint32_t size, void* buffer);
/* Fills an SLCSliceInfo for slice `index` (from 0); `size` at least sizeof(SLCSliceInfo). Checks
 * the slice table first, as SLCGetInfo does. */
SLC_EXPORT SLCResult SLCGetSliceInfo(SLCHandle handle, uint32_t index, uint32_t size, void* buffer);

/* Rendering: 16-bit host-order interleaved frames in the file's channel count, resampled by
 * linear interpolation to the output rate (the file's rate until set; 1 to 768000). */
SLC_EXPORT SLCResult SLCSetOutputSampleRate(SLCHandle handle, uint32_t sampleRate);
/* Renders slice `index` whole. With `frames` NULL, only *written is set, to the frames needed;
 * with `capacity` below that, kSLCBufferTooSmall and *written the frames needed. */
SLC_EXPORT SLCResult SLCRenderSlice(SLCHandle handle, uint32_t index, int16_t* frames, uint32_t capacity,
                                    uint32_t* written);

/* Preview: the loop played over and over at the preview tempo (the file's tempo until set).
 * Each slice starts at its moved time and plays at its own speed, cut off at the next slice's
 * start or padded with silence before it. Start rewinds to the loop's beginning. */
SLC_EXPORT SLCResult SLCStartPreview(SLCHandle handle);
SLC_EXPORT SLCResult SLCStopPreview(SLCHandle handle);
/* The next `frameCount` frames of the preview; *written is frameCount on success. */
SLC_EXPORT SLCResult SLCRenderPreviewBatch(SLCHandle handle, int16_t* frames, uint32_t frameCount,
                                           uint32_t* written);
/* Thousandths of a beat per minute, 1000 to 1000000 (1 to 1000 beats per minute). */
SLC_EXPORT SLCResult SLCSetPreviewTempo(SLCHandle handle, uint32_t tempo);

#ifdef __cplusplus
}
#endif

#endif
