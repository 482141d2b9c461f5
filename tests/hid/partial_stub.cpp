// A broken install: a hiddriver.so that has only two of the entry points.
#include <cstdint>

extern "C" {

__attribute__((visibility("default"))) int Set_VIDPID(int vendor_id, int product_id) {
  return vendor_id == 0x1017 && product_id == 0x8003 ? 7 : 8;
}

__attribute__((visibility("default"))) int SetFeature(const unsigned char* data, int length) {
  return data != nullptr ? length + 100 : -1;
}

}  // extern "C"
