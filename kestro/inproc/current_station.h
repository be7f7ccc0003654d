// The station that the in-process flat interface serves: a process-wide default station
// (the sample station), which tests replace for a scope with a station of their own.
#pragma once

#include "kestro/model/station.h"

namespace kestro {

// The station every flat function acts on: the one installed by the innermost live
// ScopedStation, else the process-wide default station, created on first use with the
// sample station's records (SampleStation), so that a program linked with this binding
// exports a real station.
Station& CurrentStation();

// Makes `station` the current one for the installer's lifetime and restores the previous one
// when it ends. Installers nest in stack order. The flat interface is used from one thread,
// so nothing is locked.
class ScopedStation {
  public:
    explicit ScopedStation(Station& station);
    ~ScopedStation();
    ScopedStation(const ScopedStation&) = delete;
    ScopedStation& operator=(const ScopedStation&) = delete;

  private:
    Station* previous_;
};

// Makes `station` the current one for the calling thread only, for the installer's lifetime,
// ahead of every ScopedStation: a server thread that answers calls from a private copy of
// the station while the other threads serve the shared one.
class ScopedThreadStation {
  public:
    explicit ScopedThreadStation(Station& station);
    ~ScopedThreadStation();
    ScopedThreadStation(const ScopedThreadStation&) = delete;
    ScopedThreadStation& operator=(const ScopedThreadStation&) = delete;

  private:
    Station* previous_;
};

}  // namespace kestro
