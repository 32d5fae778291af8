// Resource numbers of the Image Preview tests' pictures.
#pragma once
#define IDR_PIC_A_SMALL_PNG   101
#define IDR_PIC_B_SMALL_GIF   102
#define IDR_PIC_C_BAD_PNG     103
#define IDR_PIC_E_SMALL_JPG   105
#define IDR_PIC_F_SMALL_ICO   106
#define IDR_PIC_H_WIDE_PNG    108
#define IDR_PIC_I_GARBAGE_GIF 109
#define IDR_PIC_J_TRUNC_GIF   110
#define IDR_PIC_K_TRUNC_JPG   111
#define IDR_PIC_L_TRUNC_ICO   112
#define IDR_PIC_M_TRUNC_BMP   113
