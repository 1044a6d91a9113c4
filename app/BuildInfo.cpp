#include "BuildInfo.h"

extern const int kBuildDateStamp;
extern const int kBuildTimeStamp;

BuildStamp buildStamp()
{
    return BuildStamp{kBuildDateStamp, kBuildTimeStamp};
}

int secondsOfDay(int hours, int minutes, int seconds)
{
    return hours * 3600 + minutes * 60 + seconds;
}
