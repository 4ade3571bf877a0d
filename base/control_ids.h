/* Identifiers of the bar's controls and menu commands: the one place for the resource script,
   the code and the tests (the end-to-end harness reads this file too). Plain #defines, because
   the resource compiler includes it. The slot controls follow no arithmetic rule: the code
   always looks them up through the slot tables built from these names. */
#pragma once

/* Slot n (1..20): its frame, Pop and Push buttons, edit and drop-down. */
#define IDC_SLOT_1_FRAME 103
#define IDC_SLOT_1_POP 101
#define IDC_SLOT_1_PUSH 102
#define IDC_SLOT_1_EDIT 125
#define IDC_SLOT_1_COMBO 184
#define IDC_SLOT_2_FRAME 104
#define IDC_SLOT_2_POP 105
#define IDC_SLOT_2_PUSH 106
#define IDC_SLOT_2_EDIT 126
#define IDC_SLOT_2_COMBO 185
#define IDC_SLOT_3_FRAME 107
#define IDC_SLOT_3_POP 108
#define IDC_SLOT_3_PUSH 109
#define IDC_SLOT_3_EDIT 127
#define IDC_SLOT_3_COMBO 186
#define IDC_SLOT_4_FRAME 110
#define IDC_SLOT_4_POP 111
#define IDC_SLOT_4_PUSH 112
#define IDC_SLOT_4_EDIT 128
#define IDC_SLOT_4_COMBO 187
#define IDC_SLOT_5_FRAME 113
#define IDC_SLOT_5_POP 114
#define IDC_SLOT_5_PUSH 115
#define IDC_SLOT_5_EDIT 129
#define IDC_SLOT_5_COMBO 188
#define IDC_SLOT_6_FRAME 116
#define IDC_SLOT_6_POP 117
#define IDC_SLOT_6_PUSH 118
#define IDC_SLOT_6_EDIT 130
#define IDC_SLOT_6_COMBO 189
#define IDC_SLOT_7_FRAME 119
#define IDC_SLOT_7_POP 120
#define IDC_SLOT_7_PUSH 121
#define IDC_SLOT_7_EDIT 131
#define IDC_SLOT_7_COMBO 190
#define IDC_SLOT_8_FRAME 122
#define IDC_SLOT_8_POP 123
#define IDC_SLOT_8_PUSH 124
#define IDC_SLOT_8_EDIT 132
#define IDC_SLOT_8_COMBO 191
#define IDC_SLOT_9_FRAME 136
#define IDC_SLOT_9_POP 137
#define IDC_SLOT_9_PUSH 138
#define IDC_SLOT_9_EDIT 139
#define IDC_SLOT_9_COMBO 192
#define IDC_SLOT_10_FRAME 140
#define IDC_SLOT_10_POP 141
#define IDC_SLOT_10_PUSH 142
#define IDC_SLOT_10_EDIT 143
#define IDC_SLOT_10_COMBO 193
#define IDC_SLOT_11_FRAME 144
#define IDC_SLOT_11_POP 145
#define IDC_SLOT_11_PUSH 146
#define IDC_SLOT_11_EDIT 147
#define IDC_SLOT_11_COMBO 194
#define IDC_SLOT_12_FRAME 148
#define IDC_SLOT_12_POP 149
#define IDC_SLOT_12_PUSH 150
#define IDC_SLOT_12_EDIT 151
#define IDC_SLOT_12_COMBO 195
#define IDC_SLOT_13_FRAME 152
#define IDC_SLOT_13_POP 153
#define IDC_SLOT_13_PUSH 154
#define IDC_SLOT_13_EDIT 155
#define IDC_SLOT_13_COMBO 196
#define IDC_SLOT_14_FRAME 156
#define IDC_SLOT_14_POP 157
#define IDC_SLOT_14_PUSH 158
#define IDC_SLOT_14_EDIT 159
#define IDC_SLOT_14_COMBO 197
#define IDC_SLOT_15_FRAME 160
#define IDC_SLOT_15_POP 161
#define IDC_SLOT_15_PUSH 162
#define IDC_SLOT_15_EDIT 163
#define IDC_SLOT_15_COMBO 198
#define IDC_SLOT_16_FRAME 164
#define IDC_SLOT_16_POP 165
#define IDC_SLOT_16_PUSH 166
#define IDC_SLOT_16_EDIT 167
#define IDC_SLOT_16_COMBO 199
#define IDC_SLOT_17_FRAME 168
#define IDC_SLOT_17_POP 169
#define IDC_SLOT_17_PUSH 170
#define IDC_SLOT_17_EDIT 171
#define IDC_SLOT_17_COMBO 200
#define IDC_SLOT_18_FRAME 172
#define IDC_SLOT_18_POP 173
#define IDC_SLOT_18_PUSH 174
#define IDC_SLOT_18_EDIT 175
#define IDC_SLOT_18_COMBO 201
#define IDC_SLOT_19_FRAME 176
#define IDC_SLOT_19_POP 177
#define IDC_SLOT_19_PUSH 178
#define IDC_SLOT_19_EDIT 179
#define IDC_SLOT_19_COMBO 202
#define IDC_SLOT_20_FRAME 180
#define IDC_SLOT_20_POP 181
#define IDC_SLOT_20_PUSH 182
#define IDC_SLOT_20_EDIT 183
#define IDC_SLOT_20_COMBO 203

/* The clock group, and the drop-down that stands in for an enlarged slot's. */
#define IDC_CLOCK_FRAME 133
#define IDC_EXIT 134
#define IDC_CLOCK_FIELD 135
#define IDC_SPARE_COMBO 204

/* Context menu commands. */
#define IDM_TOP 1224
#define IDM_LEFT 1234
#define IDM_AUTOHIDE 1244
#define IDM_SHOW_CLOCK 1254
#define IDM_HOTKEYS 1264
#define IDM_KEEP_SLOTS 1274
#define IDM_START_WITH_WINDOWS 1284
#define IDM_RIGHT 1294
#define IDM_BOTTOM 1304
#define IDM_NEXT_SCREEN 1314
#define IDM_CLEAR_ALL_SLOTS 1324

/* A slot's own menu, and the dialog that names a slot. */
#define IDM_SLOT_NAME 1334
#define IDM_SLOT_LOCK 1344
#define IDM_SLOT_CLEAR 1354
#define IDD_NAME_SLOT 300
#define IDC_NAME_SLOT_EDIT 301
