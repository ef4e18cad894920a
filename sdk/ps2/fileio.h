#pragma once

#include "ps2/types.h"

// The file client: files of the IOP's devices ("host:" is the development host's directory).

inline constexpr s32 FIO_O_RDONLY = 0x0001;
inline constexpr s32 FIO_O_WRONLY = 0x0002;
inline constexpr s32 FIO_O_RDWR = 0x0003;
inline constexpr s32 FIO_O_APPEND = 0x0100;
inline constexpr s32 FIO_O_CREAT = 0x0200;
inline constexpr s32 FIO_O_TRUNC = 0x0400;
inline constexpr s32 FIO_O_EXCL = 0x0800;

inline constexpr s32 FIO_SEEK_SET = 0;
inline constexpr s32 FIO_SEEK_CUR = 1;
inline constexpr s32 FIO_SEEK_END = 2;

// Binds the file service: 0 on success. Every call below binds it by itself when needed.
s32 fioInit();
// Opens `name` with FIO_O_* flags: a descriptor, or negative on error.
s32 fioOpen(const char* name, s32 flags);
s32 fioClose(s32 fd);
// Bytes read or written, negative on error.
s32 fioRead(s32 fd, void* buffer, s32 size);
s32 fioWrite(s32 fd, const void* buffer, s32 size);
// Moves the position: the new position from the start of the file, negative on error.
s32 fioLseek(s32 fd, s32 offset, s32 whence);
