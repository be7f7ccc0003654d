// The calls kestrod serves: the logon family from the connection's Session, the
// configuration getters from the shared station through its flat binding (kestro/inproc),
// and the setters through the same binding, each followed by saving the record it changed.
#pragma once

#include "kestro/wire/call_dispatcher.h"

namespace kestro::server {

// The call table of the server. Its functions act on Session::Current() and the station
// that kestro::CurrentStation() names (the served station, installed with ScopedStation),
// with the served station's mutex held. A setter answers 0 only once its record is in the
// database; when saving fails the station keeps the record as it was before the call and
// the setter answers kNotSaved. DllVersion is not served: only a client library knows its
// own version.
wire::CallTable ServerCallTable();

}  // namespace kestro::server
