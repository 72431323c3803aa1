// A card's picture as the graphics code reads it out of a card record (host order): which
// record holds it, and the Mac colour table stored with it.
//
// Finding the record that holds a shared picture needs the card list of the stack layer above:
// host/wiring/WireGraphics_win.cpp sets its ResolvePictureResource as the resolver; until then a
// record holds a picture only when it is of kind 1. Reading the picture itself is the stack
// layer's too (stack/pictures/CardPictureDib.h, through CardPictureGdi.h).
//
//   CardPicture.cpp       the record fields, the resolver seam
//   CardPicture_win.cpp   the picture's palette and what the depth conversions ask of the stack
//                         layer (CardPictureGdi.h)
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "format/StackFile.h"

// Card records are read here in host order (the colour table stays big-endian): a kind-1
// record (kCardKind) holds a picture of its own, made for the card size it gives
// (kCardWidth, kCardHeight), with its colour table (kPictureTableLength, kPictureTableOffset);
// another names the card that holds its picture (kCardBackgroundId), or none (kNoPictureCard).

// The record that holds a card's picture: the record itself for kind 1, else the one the
// installed resolver finds; 0 when none does.
using PictureRecordResolver = Handle (*)(Handle card);
void SetPictureRecordResolver(PictureRecordResolver resolver);  // nullptr: the minimal one
Handle ResolvePictureRecord(Handle card);

// The Mac colour table stored in a picture record's bytes: empty unless the record is of kind 1,
// longer than 100 bytes, and its table length is not 0; cut to the bytes the record holds.
std::span<const uint8_t> PictureRecordColorTable(std::span<const uint8_t> record);
