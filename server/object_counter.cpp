#include "server/object_counter.h"

namespace {
// UINT because that is what the property sheet's reference-parent field points to; the sheet
// itself changes it with interlocked operations on the same 32 bits.
volatile UINT g_objectCount = 0;

volatile LONG* AsLong() {
    return reinterpret_cast<volatile LONG*>(&g_objectCount);
}
} // namespace

void AddObject() {
    InterlockedIncrement(AsLong());
}
void RemoveObject() {
    InterlockedDecrement(AsLong());
}
LONG ObjectCount() {
    return InterlockedCompareExchange(AsLong(), 0, 0);
}
UINT* ObjectCounterAddress() {
    return const_cast<UINT*>(&g_objectCount);
}
