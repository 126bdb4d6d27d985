// Heights of the device's bars on a 96-dpi screen, before scaling: the
// navigation bar at the top, the soft-key bar at the bottom and the main
// window's status bar above it. Every window that lays itself out around
// them takes the figures from here.
#pragma once

enum {
    NAV_BAR_HEIGHT = 26,
    SOFT_KEY_BAR_HEIGHT = 26,
    STATUS_BAR_HEIGHT = 22,
};
