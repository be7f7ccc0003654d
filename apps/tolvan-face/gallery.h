// The gallery of tolvan-face: one face per interesting case (each pump state, each reservation
// kind, stack counts 0 to 5, live and current-delivery colours, a locked, an overdue and a
// negative delivery, long values, the blink phases), each at 1:1 and at 2x with its caption in
// the user's language (Portuguese for a Portuguese locale, else English).
#pragma once

#include <string>
#include <vector>

#include "apps/tolvan-face/face_case.h"
#include "apps/tolvan-face/face_host.h"

namespace tolvan_face {

// The gallery's cases, in the order they are laid out.
std::vector<FaceCase> GalleryCases();

// Renders every case through `host` and writes the gallery PNG; false with `error` set.
bool WriteGallery(FaceHost& host, const std::vector<FaceCase>& cases, const std::string& path,
                  std::string* error);

// Writes one face as a PNG enlarged `scale` times; false with `error` set.
bool WriteFacePng(const FacePixels& face, int scale, const std::string& path, std::string* error);

}  // namespace tolvan_face
