#pragma once

#include "ps2/types.h"

inline constexpr u32 SONG_BUFFER_SIZE = 204800;

// The whole song file, read at start-up; the source of the copy to the IOP.
extern u8 SongBuffer[SONG_BUFFER_SIZE];
extern u32 SongAddress;
extern u32 SongSize;

// Load the IOP modules, read the song at path and hand it to the player; returns the load's result.
int MusicInit(const char* path);
// Start the song from its beginning at full volume.
void MusicPlay();
// Stop the song and silence the player.
void MusicStop();
// Set the player's volume; only the low 14 bits reach it.
void MusicSetVolume(u32 volume);
