// The benchmark programs' one clock: milliseconds from the performance counter.
#pragma once

namespace bench {

double NowMs();

}  // namespace bench
