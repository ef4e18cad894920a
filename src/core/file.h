#pragma once

#include "ps2/types.h"

// Open modes of OrbFileOpen.
inline constexpr int ORB_FILE_READ = 0;
inline constexpr int ORB_FILE_WRITE = 1;

// Bind the file service; always 0.
int OrbFileInit();
// Trace the path and open it for reading (0) or writing without truncation (1); 0 for any other mode.
int OrbFileOpen(const char* path, int mode);
int OrbFileClose(int fd);
int OrbFileRead(int fd, void* buffer, int size);
int OrbFileWrite(int fd, const void* buffer, int size);
// Return the file's size, leaving its position where it was.
int OrbFileSize(int fd);
