// Control ids of the system's common dialogs, which a custom template for them must keep.
#pragma once

#define stc1 0x0440  // label of the face list
#define stc2 0x0441  // label of the style list
#define stc3 0x0442  // label of the size list
#define stc5 0x0444  // sample text
#define stc6 0x0445  // description of the font's type
#define cmb1 0x0470  // face list
#define cmb2 0x0471  // style list
#define cmb3 0x0472  // size list
#define grp2 0x0431  // sample group
#define pshHelp 0x040e
