#include "base/bar_ids.h"

namespace pinnafex {

// The twenty ids of one control of the slot groups, slot 1 first.
#define SLOT_GROUP_IDS(part)                                                                       \
  {                                                                                                \
    IDC_SLOT_1_##part, IDC_SLOT_2_##part, IDC_SLOT_3_##part, IDC_SLOT_4_##part, IDC_SLOT_5_##part, \
        IDC_SLOT_6_##part, IDC_SLOT_7_##part, IDC_SLOT_8_##part, IDC_SLOT_9_##part,                \
        IDC_SLOT_10_##part, IDC_SLOT_11_##part, IDC_SLOT_12_##part, IDC_SLOT_13_##part,            \
        IDC_SLOT_14_##part, IDC_SLOT_15_##part, IDC_SLOT_16_##part, IDC_SLOT_17_##part,            \
        IDC_SLOT_18_##part, IDC_SLOT_19_##part, IDC_SLOT_20_##part                                 \
  }
const int kPopButtonIds[kSlotCount] = SLOT_GROUP_IDS(POP);
const int kPushButtonIds[kSlotCount] = SLOT_GROUP_IDS(PUSH);
const int kSlotFrameIds[kSlotCount] = SLOT_GROUP_IDS(FRAME);
const int kSlotComboIds[kSlotCount] = SLOT_GROUP_IDS(COMBO);
#undef SLOT_GROUP_IDS

int FindSlot(const int (&ids)[kSlotCount], int controlId) {
  for (int i = 0; i < kSlotCount; ++i) {
    if (ids[i] == controlId) return i;
  }
  return -1;
}

}  // namespace pinnafex
