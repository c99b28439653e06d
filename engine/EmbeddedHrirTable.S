/* The HRIR table file, built into the library as read-only data. */
    .section .rodata.vorpane_hrir, "a"
    .balign 16
    .globl vorpane_hrir_table_start
    .hidden vorpane_hrir_table_start
vorpane_hrir_table_start:
    .incbin VORPANE_HRIR_TABLE_FILE
    .globl vorpane_hrir_table_end
    .hidden vorpane_hrir_table_end
vorpane_hrir_table_end:
    .section .note.GNU-stack, "", @progbits
