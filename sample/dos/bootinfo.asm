; SPDX-License-Identifier: GPL-2.0-or-later
; BOOTINFO.COM, the small DOS program on the sample CD: tells what the CD is.

DOS_SERVICES    equ 0x21
DOS_PRINT       equ 0x09            ; prints the text at ds:dx up to a '$'
DOS_EXIT        equ 0x4C00          ; ends the program with exit code 0

        bits 16
        org 0x100

        mov dx, text
        mov ah, DOS_PRINT
        int DOS_SERVICES
        mov ax, DOS_EXIT
        int DOS_SERVICES

text:
        db "BOOTINFO - Boot Media Maker sample CD", 13, 10
        db 13, 10
        db "This CD starts a PC from its boot image, a 1.44 MB floppy image", 13, 10
        db "that the BIOS emulates as drive A:. README.TXT tells more.", 13, 10, "$"
