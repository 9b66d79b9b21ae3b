# What `./trimbo graph` draws: our libraries and programs and how they link,
# without Qt and the other system libraries, the tests and the benchmarks.
set(GRAPHVIZ_GRAPH_NAME "Trimbo")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^tst_" "^bench_" "^trimbo_benchfolder$" "^trimbo_testhelpers$" "^trimbo_windowdriver$"
  "^crashsaver$" "^startup_probe$")
