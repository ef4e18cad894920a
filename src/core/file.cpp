#include "core/file.h"

#include "core/trace.h"
#include "ps2/fileio.h"

int OrbFileInit()
{
    fioInit();
    return 0;
}

int OrbFileOpen(const char* path, int mode)
{
    TraceLog("- %s : ", "OrbFileOpen");
    TraceLog(" -> %s \n", path);
    if (mode == ORB_FILE_READ) return fioOpen(path, FIO_O_RDONLY);
    if (mode == ORB_FILE_WRITE) return fioOpen(path, FIO_O_WRONLY | FIO_O_CREAT);
    return 0;
}

int OrbFileClose(int fd) { return fioClose(fd); }

int OrbFileRead(int fd, void* buffer, int size) { return fioRead(fd, buffer, size); }

int OrbFileWrite(int fd, const void* buffer, int size) { return fioWrite(fd, buffer, size); }

int OrbFileSize(int fd)
{
    const int position = fioLseek(fd, 0, FIO_SEEK_CUR);
    const int size = fioLseek(fd, 0, FIO_SEEK_END);
    fioLseek(fd, position, FIO_SEEK_SET);
    return size;
}
