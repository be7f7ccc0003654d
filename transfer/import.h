// Brenkar's import: reads a configuration INI file and writes every record back to the
// controller through the Kestro setters, inside the entry point's logon.
#pragma once

#include <cstdint>
#include <vector>

#include "ini/ini_document.h"
#include "transfer/config_layout.h"
#include "transfer/import_target.h"
#include "transfer/record_reader.h"

// True when `iniFile` (non-null) can be imported: it exists, is a regular file (not a device,
// FIFO, socket or folder, which would be read forever or block) and opens for reading and
// writing, as the import opens it for update (it writes nothing to it). Otherwise one line is
// printed ("Cannot read the file <iniFile> - <reason>.\n", the reason "not a regular file"
// for the other kinds of file, or "Cannot open the file <iniFile> for update - <reason>.\n"
// for a file that can be read only), nothing is created, and the result is false. Nothing
// blocks on a FIFO.
bool ImportFileUsable(const char* iniFile);

// Imports the configuration file `iniFile` (non-null). A file that ImportFileUsable refuses
// gives -1 after its line.
//
// Kind by kind (ports, grades, tanks, ZigBee devices, pumps with their hoses, sensors,
// attendants, card clients, products) the record identifiers are probed from the kind's
// first one (ZigBee devices from 5, the others from 1) up to 99 (sensors, attendants, card
// clients and products: 9,999); seven absent records in a row end a kind, except that ports
// 1 to 13 are always probed. Each record present goes to its setter (import_records.h).
// After each kind with records "%3d <kind> imported successfully.\n" is printed, and
// "\nAll done.\n" at the end; the result is then 0.
//
// A failed port, grade or tank setter, or a tank whose grade cannot be imported, is printed
// and counts as an absent record; the scan goes on, and after "All done." the result is 3
// instead of 0, so that a restore that lost records is told from a whole one. A failed setter
// of any other kind, or a hose whose tank cannot be imported, is printed and ends the import
// at once with -1 (no count line for that kind, no "All done"). So does a read of the file
// that fails, whatever was read before it: "Cannot read the file <iniFile> - <reason>.\n",
// and nothing read after it is written.
// Settings already written stay written.
std::int32_t ImportConfiguration(const char* iniFile);

enum class ImportOutcome {
    kComplete,        // every record found was written
    kRecordsSkipped,  // a port, grade or tank was not written; the scan went on
    kEnded,           // a record's failure ended the import
    kReadFailed,      // a read of the file failed (IniDocument::ReadError): the import ended
                      // there, writing nothing read after it
};

// The import's scan of every kind over `document` (opened as the import opens it), handing
// each record found to `target` and telling `observer` (null: nobody) every read. Prints the
// count line of each kind with records.
ImportOutcome ImportRecords(IniDocument& document, ImportTarget& target, ReadObserver* observer);

// One kind of record as the import scans it.
struct ImportKind {
    const char* noun;  // in the count line ("%3d <noun> imported successfully.")
    config_layout::SectionPattern section;
    std::int32_t first;  // the first identifier probed
    std::int32_t bound;  // the scan stops before this identifier
};

// The kinds in the order the import scans them.
std::vector<ImportKind> ImportKinds();
