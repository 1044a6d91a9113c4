#pragma once

// The moment this program was built: the date as YYYYMMDD and the time of day in seconds.
struct BuildStamp {
    int date = 0;
    int time = 0;
};

BuildStamp buildStamp();
// Seconds of the day of a clock time: 14:59:32 -> 53972.
int secondsOfDay(int hours, int minutes, int seconds);
