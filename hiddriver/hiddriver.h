/* The HID access library's interface, as Monitor loads it from the program
 * folder (hiddriver.so) and resolves its eleven entry points by name.
 *
 * The window handle given to Open_DevMonitor is a pointer to an MtWindowHandle
 * owned by the caller and valid until Close_DevMonitor returns. The library
 * delivers its two messages by calling post() from any thread; post() only
 * queues the message for the window's UI thread and returns at once, so it is
 * safe to call from the library's own reader or watch thread. */
#ifndef MT_HIDDRIVER_H
#define MT_HIDDRIVER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MT_WINDOW_HANDLE_MAGIC 0x4D545748u /* "MTWH" */

typedef struct MtWindowHandle {
  uint32_t magic; /* MT_WINDOW_HANDLE_MAGIC */
  void* context;
  /* Queues (msg, wparam, lparam) for the window; thread-safe, never blocks. */
  void (*post)(void* context, uint32_t msg, uintptr_t wparam, intptr_t lparam);
} MtWindowHandle;

typedef int (*Set_VIDPID_fn)(int vendor_id, int product_id);
typedef int (*Open_DevMonitor_fn)(void* window, unsigned int event_msg, unsigned int connection_msg);
typedef int (*Close_DevMonitor_fn)(void);
typedef int (*Open_FeatureDevice_fn)(void);
typedef int (*Close_FeatureDevice_fn)(void);
typedef int (*SetFeature_fn)(const unsigned char* data, int length);
typedef int (*GetFeature_fn)(unsigned char* data, int length);
typedef int (*Open_ReportDevice_fn)(void);
typedef int (*Close_ReportDevice_fn)(void);
typedef int (*WriteUSB_fn)(const unsigned char* data, int length);
typedef int (*ReadUSB_fn)(unsigned char* data, int length);

int Set_VIDPID(int vendor_id, int product_id);
int Open_DevMonitor(void* window, unsigned int event_msg, unsigned int connection_msg);
int Close_DevMonitor(void);
int Open_FeatureDevice(void);
int Close_FeatureDevice(void);
int SetFeature(const unsigned char* data, int length);
int GetFeature(unsigned char* data, int length);
/* Non-zero when the mouse's report channel opened. */
int Open_ReportDevice(void);
int Close_ReportDevice(void);
int WriteUSB(const unsigned char* data, int length);
int ReadUSB(unsigned char* data, int length);

#ifdef __cplusplus
}
#endif

#endif
