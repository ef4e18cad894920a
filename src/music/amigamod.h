#pragma once

#include "ps2/types.h"

// The player module's RPC server and its functions.
inline constexpr u32 AMIGAMOD_SERVER_ID = 0x0BADCA11;
inline constexpr int AMIGAMOD_INIT = 0x10;
inline constexpr int AMIGAMOD_LOAD = 0x20;
inline constexpr int AMIGAMOD_PLAY = 0x80;
inline constexpr int AMIGAMOD_STOP = 0x90;
inline constexpr int AMIGAMOD_SET_VOLUME = 0x110;
inline constexpr int AMIGAMOD_GET_INFO = 0x210;
inline constexpr int AMIGAMOD_QUIT = 0x810;
inline constexpr int AMIGAMOD_SEND_BLOCK = 0x900;
inline constexpr int AMIGAMOD_BLOCK_SIZE = 252;

// Bind the player (once) and greet it unless skipMessage; -1 when the binding fails.
int amigaModInit(int skipMessage);
// Copy the song into a fresh IOP block, freeing the previous one, and hand it to the player.
int amigaModLoad(const void* eeAddress, u32 size);
int amigaModPlay(u32 argument);
int amigaModStop();
int amigaModSetVolume(u32 volume);
// Copy the player's position words (reply words 1 to 4) into out.
int amigaModGetInfo(u32* out);
int amigaModQuit();
int amigaModSendBlock(const void* block);
// Tell whether the last load reached the player with an IOP block that holds the song.
bool amigaModSongLoaded();
