#include "BuildInfo.h"

extern const int kBuildDateStamp;
extern const int kBuildTimeStamp;

BuildStamp buildStamp()
{
    return BuildStamp{kBuildDateStamp, kBuildTimeStamp};
}
