; SPDX-License-Identifier: GPL-2.0-or-later
; Boot sector of the sample boot floppy: a 1.44 MB FAT12 parameter block whose reserved area
; holds an 8 KiB second stage. The sector loads that stage through the BIOS, checks its
; signature and checksum, and runs it; a stage that does not check out is reported, on screen
; and on the emulators' debug console, instead of being run.

%include "common.inc"

READ_TRIES      equ 3

        bits 16
        org 0x7C00

        jmp short start
        nop
oem_name:       db "BOOTMDIA"
bytes_per_sec:  dw 512
sec_per_clus:   db 1
reserved_secs:  dw 1 + STAGE2_SECTORS
fat_count:      db 2
root_entries:   dw 224
total_secs:     dw 2880
media:          db 0xF0
secs_per_fat:   dw 9
secs_per_track: dw 18
head_count:     dw 2
hidden_secs:    dd 0
total_secs32:   dd 0
drive_number:   db 0
                db 0
ext_signature:  db 0x29
volume_serial:  dd 0x0B007ED1
volume_label:   db "BOOTMEDIA  "
fs_type:        db "FAT12   "

start:
        cli
        xor ax, ax
        mov ds, ax
        mov es, ax
        mov ss, ax
        mov sp, 0x7C00
        sti
        cld
        jmp 0:normalised                ; some BIOSes enter at 07C0:0000
normalised:
        mov [drive_number], dl
        mov si, msg_loading
        call print

        mov di, READ_TRIES
read_stage2:
        mov ax, 0x0200 | STAGE2_SECTORS ; read sectors 2.. of cylinder 0, head 0
        mov bx, STAGE2_LOAD
        mov cx, 0x0002
        xor dh, dh
        mov dl, [drive_number]
        int BIOS_DISK
        jnc verify_stage2
        xor ax, ax                      ; floppies often need a reset and another try
        mov dl, [drive_number]
        int BIOS_DISK
        dec di
        jnz read_stage2
        jmp stage2_bad

verify_stage2:
        mov si, STAGE2_LOAD
        cmp word [si], STAGE2_MAGIC_LO
        jne stage2_bad
        cmp word [si + 2], STAGE2_MAGIC_HI
        jne stage2_bad
        mov cx, STAGE2_SECTORS * 256    ; words
        xor dx, dx
.sum:   lodsw                           ; rotate-and-add: catches moved sectors too
        rol dx, 1
        add dx, ax
        loop .sum
        test dx, dx
        jnz stage2_bad
        mov dl, [drive_number]
        jmp 0:STAGE2_LOAD + 4           ; behind the signature

stage2_bad:
        mov si, msg_bad
        call print
        mov si, marker_bad
        mov al, EXIT_BAD
        call report_and_exit
        xor ax, ax                      ; on real hardware: wait for a key, then boot anew
        int BIOS_KEYBOARD
        int BIOS_BOOT

%include "console.inc"

msg_loading:    db "Loading the boot disk... ", 0
msg_bad:        db 13, 10, "This boot disk is damaged: its second stage cannot be read.", 13, 10
                db "Press a key to restart.", 0
marker_bad:     db "BOOTMEDIA-BAD", 10, 0

        times 510 - ($ - $$) db 0
        dw 0xAA55
