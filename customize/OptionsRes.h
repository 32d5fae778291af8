// Resource identifiers of the Options sheet and its pages.
#pragma once

// Templates
#define IDD_OPTIONS              4600
#define IDD_OPT_GENERAL          4601
#define IDD_OPT_VISUAL           4602
#define IDD_OPT_PANELS           4603
#define IDD_OPT_QUICKEDIT        4604
#define IDD_OPT_HOTKEY           4605
#define IDD_OPT_MISC             4606

// The sheet
#define IDC_OPT_TAB              4610

// General page
#define IDC_OPT_SPLASH           4620
#define IDC_OPT_CONFIRM_EXIT     4621
#define IDC_OPT_DESCRIPTIONS     4622
#define IDC_OPT_MRVF_SIZE        4623
#define IDC_OPT_MRVF_SPIN        4624
#define IDC_OPT_MRVF_CLEAR       4625
#define IDC_OPT_ICONIZE          4626
#define IDC_OPT_SHELL_MENU       4627
#define IDC_OPT_FOLDER_CMD       4628
#define IDC_OPT_SINGLE           4629
#define IDC_OPT_FORWARD          4630

// Visual page
#define IDC_OPT_ANIMATE          4640
#define IDC_OPT_WAVY             4641
#define IDC_OPT_POPOUT           4642
#define IDC_OPT_BOLD_DRIVES      4643
#define IDC_OPT_STRONG_EDGES     4644
#define IDC_OPT_TREE_ICONS       4645

// Panels page
#define IDC_OPT_SHOW_SEL         4750
#define IDC_OPT_FULL_PATH        4751
#define IDC_OPT_UNC_PATH         4752
#define IDC_OPT_EXTRA_BUTTONS    4753
#define IDC_OPT_SELECT_NEXT      4754
#define IDC_OPT_QUICK_RENAME     4755
#define IDC_OPT_ONE_CLICK        4756
#define IDC_OPT_TRACK_SEL        4757
#define IDC_OPT_FULL_ROW         4758
#define IDC_OPT_GRIDLINES        4759
#define IDC_OPT_UNDERLINE_HOT    4760
#define IDC_OPT_UNDERLINE_COLD   4761
#define IDC_OPT_INFOTIPS         4762

// Quick Edit page
#define IDC_OPT_QE_MANY          4670
#define IDC_OPT_QE_MANY_COUNT    4671
#define IDC_OPT_QE_LARGE         4672
#define IDC_OPT_QE_LARGE_KB      4673
#define IDC_OPT_QE_INTERNAL      4674
#define IDC_OPT_QE_EXTERNAL      4675
#define IDC_OPT_QE_INT_OPTIONS   4676
#define IDC_OPT_QE_EXT_OPTIONS   4677

// Hot Key page
#define IDC_OPT_HK_ON            4680
#define IDC_OPT_HK_WIN_E         4681
#define IDC_OPT_HK_OWN           4682
#define IDC_OPT_HK_PROMPT        4683
#define IDC_OPT_HK_KEY           4684

// Misc page
#define IDC_OPT_AUTOCOMPLETE     4690
#define IDC_OPT_JUMP_HISTORY     4691
#define IDC_OPT_DBL_MAXIMIZE     4692
#define IDC_OPT_DBL_PROMPT       4693
#define IDC_OPT_NC_KEYS          4694
#define IDC_OPT_EXPAND_DRIVES    4695
#define IDC_OPT_CENTER_DIALOGS   4696

// Strings
#define IDS_OPT_ENTER_INTEGER    4700
