#include "hook/zqMouseHook.h"

extern "C" {
void SetHwndClient(unsigned long) {}
int StartHook(void) { return 0; }
void StopHook(void) {}
}
