#!/usr/bin/env bash
# Collections at scale, with figures printed for the closing note:
# - catalogo over 10,000 generated cards (1.3 GB) and 10,000 single saves, page cache warm:
#   goal at least 5,000 cards per second, within 2x the time of reading the same files (cat to
#   /dev/null), and peak memory under 64 MiB whatever the number of files;
# - separar of 1,000 shared cards into per-game cards: goal under 10 s;
# - listar of 1,000 files in one call: goal under 2 s.
#
#   bench/collection_bench.sh [BUILD_FOLDER] [CARDS] [SAVES]
set -euo pipefail
build=$(realpath "${1:-build}")
cards=${2:-10000}
saves=${3:-10000}
cli=$build/cli/vexilor-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }

echo "Gerando $cards cartões e $saves 'saves' em $work..."
"$build/bench/make_collection" "$work/acervo" "$cards" "$saves"
du -sh "$work/acervo"
files=$(find "$work/acervo" -type f | wc -l)

# Warm the page cache, then the same files read by cat.
find "$work/acervo" -type f -print0 | xargs -0 cat > /dev/null
start=$(seconds)
find "$work/acervo" -type f -print0 | xargs -0 cat > /dev/null
cat_time=$(elapsed "$start" "$(seconds)")

/usr/bin/time -f "%e %M" -o "$work/time" "$cli" catalogo "$work/acervo" --json \
  > "$work/catalogo.jsonl" 2> "$work/resumo"
read -r catalogue_time peak_kib < "$work/time"
rows=$(wc -l < "$work/catalogo.jsonl")
echo "catalogo: $files arquivos, $rows 'saves' em ${catalogue_time} s" \
  "($(echo "$cards / $catalogue_time" | bc) cartões/s);" \
  "cat dos mesmos arquivos: ${cat_time} s (razão $(echo "scale=2; $catalogue_time / $cat_time" | bc));" \
  "memória máxima: $((peak_kib / 1024)) MiB"
tail -1 "$work/resumo"

shared=("$work"/acervo/cartoes/pasta0/*.mcd "$work"/acervo/cartoes/pasta1/*.mcd)
shared=("${shared[@]:0:1000}")
start=$(seconds)
"$cli" separar "${shared[@]}" --destino "$work/por-jogo" --layout memcardpro > "$work/separar" \
  || true
echo "separar: ${#shared[@]} cartões em $(elapsed "$start" "$(seconds)") s;" \
  "$(tail -1 "$work/separar")"

start=$(seconds)
"$cli" listar "${shared[@]}" > /dev/null
echo "listar: ${#shared[@]} arquivos em $(elapsed "$start" "$(seconds)") s"
