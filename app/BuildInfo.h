#pragma once

// The moment this program was built: the date as YYYYMMDD and the time of day in seconds.
struct BuildStamp {
    int date = 0;
    int time = 0;
};

BuildStamp buildStamp();
