#pragma once

#include "platform/WaveFile.h"

#include <QString>

namespace brisvale::platform {

// The wave-audio device the game plays its win sounds on: open on a file,
// play without waiting, close. Every failure leaves an error number and a
// description behind for the player.
class WaveDevice {
public:
    virtual ~WaveDevice() = default;

    // Reads and checks the file. A device that is open is closed first.
    virtual bool open(const QString &path) = 0;
    // Starts the open sound and returns at once; a sound still playing is cut.
    virtual bool play() = 0;
    // Stops a sound still playing and lets go of the file.
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    // The file the device was last asked to open.
    virtual QString fileName() const = 0;
    // Why the last open or play failed.
    virtual WaveError error() const = 0;
    QString errorText() const { return waveErrorText(error()); }

    // Reads a wave file for a device: the name is resolved as the file system
    // layer does, and its size is checked before anything is read.
    static WaveFile load(const QString &path);
};

} // namespace brisvale::platform
