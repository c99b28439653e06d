/* The editor's images, built into the library as read-only data. */
    .section .rodata.vorpane_images, "a"

    .balign 16
    .globl vorpane_background_png_start
    .hidden vorpane_background_png_start
vorpane_background_png_start:
    .incbin VORPANE_BACKGROUND_PNG
    .globl vorpane_background_png_end
    .hidden vorpane_background_png_end
vorpane_background_png_end:

    .balign 16
    .globl vorpane_azimuth_strip_png_start
    .hidden vorpane_azimuth_strip_png_start
vorpane_azimuth_strip_png_start:
    .incbin VORPANE_AZIMUTH_STRIP_PNG
    .globl vorpane_azimuth_strip_png_end
    .hidden vorpane_azimuth_strip_png_end
vorpane_azimuth_strip_png_end:

    .balign 16
    .globl vorpane_elevation_strip_png_start
    .hidden vorpane_elevation_strip_png_start
vorpane_elevation_strip_png_start:
    .incbin VORPANE_ELEVATION_STRIP_PNG
    .globl vorpane_elevation_strip_png_end
    .hidden vorpane_elevation_strip_png_end
vorpane_elevation_strip_png_end:

    .section .note.GNU-stack, "", @progbits
