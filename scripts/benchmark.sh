#!/usr/bin/env bash
# Builds a release and prints the benchmark report: processBlock against the reference chain,
# decaying tails against noisy blocks, and, under Xvfb since a plug-in instance connects to the
# display as it starts, loading and starting an instance, resident memory per additional
# instance, instance creation through JUCE's hosting, the editor's first paint and the processor
# time of an idle open editor.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)" --target ProcessBlockBenchmark DecayingTailBenchmark PluginLoadBenchmark EditorBenchmark

"$build/benchmarks/ProcessBlockBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$build/benchmarks/DecayingTailBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/benchmarks/PluginLoadBenchmark"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/benchmarks/EditorBenchmark"
