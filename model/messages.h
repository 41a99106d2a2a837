#pragma once
// The program's own window messages. wParam as noted; lParam is always 0.
#include "model/platform.h"

inline constexpr MessageId kUserMessageBase = 0x0400;  // WM_USER
#ifdef _WIN32
static_assert(kUserMessageBase == WM_USER, "WM_USER moved");
#endif

// wParam: address of a shared pointer to the new group, valid during the send.
inline constexpr MessageId WM_GROUP_ADDED = kUserMessageBase + 1200;
// wParam: address of the collection's shared pointer to the group being removed.
inline constexpr MessageId WM_GROUP_REMOVED = kUserMessageBase + 1201;
// wParam: address of the Contact.
inline constexpr MessageId WM_CONTACT_ADDED = kUserMessageBase + 1202;
inline constexpr MessageId WM_CONTACT_REMOVED = kUserMessageBase + 1203;
inline constexpr MessageId WM_CONTACT_UPDATED = kUserMessageBase + 1204;
inline constexpr MessageId WM_CONTACT_REVERTED = kUserMessageBase + 1205;
// wParam: 0.
inline constexpr MessageId WM_SAVE_DATA = kUserMessageBase + 1206;

static_assert(WM_GROUP_ADDED == 0x8B0 && WM_SAVE_DATA == 0x8B6, "message values are fixed");
