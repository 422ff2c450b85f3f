; SPDX-License-Identifier: GPL-2.0-or-later
; Second stage of the sample boot floppy, run by the boot sector once it has checked it. It
; greets the user, tells the emulators' debug console that the disk booted, and restarts the
; machine on a key press. Its last word is the checksum fix-up that the image generator fills
; in so that the rotate-and-add sum of all its words is 0.

%include "common.inc"

VIDEO_MODE_TEXT equ 0x0003

        bits 16
        org STAGE2_LOAD

        dw STAGE2_MAGIC_LO, STAGE2_MAGIC_HI
entry:
        mov ax, VIDEO_MODE_TEXT         ; a clean 80x25 screen
        int BIOS_VIDEO
        mov si, greeting
        call print

        mov si, marker_ok
        mov al, EXIT_OK
        call report_and_exit

        xor ax, ax
        int BIOS_KEYBOARD
        int BIOS_BOOT

%include "console.inc"

greeting:
        db "Boot Media Maker - sample boot disk", 13, 10
        db "-----------------------------------", 13, 10, 13, 10
        db "This disk started from its boot sector, which loaded and checked", 13, 10
        db "the second stage now running. The disk is sound.", 13, 10, 13, 10
        db "Its file README.TXT tells how to put your own boot image in place", 13, 10
        db "of this one.", 13, 10, 13, 10
        db "Remove the disk and press a key to restart.", 13, 10, 0
marker_ok:
        db "BOOTMEDIA-OK", 10, 0

        times STAGE2_SECTORS * 512 - 2 - ($ - $$) db 0
checksum_fixup:
        dw 0
