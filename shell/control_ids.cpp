#include "shell/control_ids.h"

namespace pinnafex {

const int kPopButtonIds[kSlotCount] = {101, 105, 108, 111, 114, 117, 120, 123, 137, 141,
                                       145, 149, 153, 157, 161, 165, 169, 173, 177, 181};
const int kPushButtonIds[kSlotCount] = {102, 106, 109, 112, 115, 118, 121, 124, 138, 142,
                                        146, 150, 154, 158, 162, 166, 170, 174, 178, 182};
const int kSlotFrameIds[kSlotCount] = {103, 104, 107, 110, 113, 116, 119, 122, 136, 140,
                                       144, 148, 152, 156, 160, 164, 168, 172, 176, 180};
const int kSlotComboIds[kSlotCount] = {184, 185, 186, 187, 188, 189, 190, 191, 192, 193,
                                       194, 195, 196, 197, 198, 199, 200, 201, 202, 203};
const int kSlotEditIds[kSlotCount] = {125, 126, 127, 128, 129, 130, 131, 132, 139, 143,
                                      147, 151, 155, 159, 163, 167, 171, 175, 179, 183};

int FindSlot(const int (&ids)[kSlotCount], int controlId) {
  for (int i = 0; i < kSlotCount; ++i) {
    if (ids[i] == controlId) return i;
  }
  return -1;
}

}  // namespace pinnafex
