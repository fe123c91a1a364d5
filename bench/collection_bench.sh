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

echo "Gerando $cards cartões e $saves 'saves' em $work..."
"$build/bench/make_collection" "$work/acervo" "$cards" "$saves"
du -sh "$work/acervo"
files=$(find "$work/acervo" -type f | wc -l)

# Wall-clock time and processor time (user + system): on a shared machine the first also counts
# the waits for a processor, the second does not.
timed() {
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@"
  read -r wall user system peak_kib < "$work/time"
  cpu=$(echo "$user + $system" | bc)
}

# Warm the page cache, then the same files read by cat.
find "$work/acervo" -type f -print0 | xargs -0 cat > /dev/null
timed sh -c "find '$work/acervo' -type f -print0 | xargs -0 cat > /dev/null"
cat_wall=$wall cat_cpu=$cpu

timed "$cli" catalogo "$work/acervo" --json > "$work/catalogo.jsonl" 2> "$work/resumo"
rows=$(wc -l < "$work/catalogo.jsonl")
echo "catalogo: $files arquivos, $rows 'saves': ${wall} s (processador ${cpu} s)," \
  "$(echo "$cards / $wall" | bc) cartões/s; cat dos mesmos arquivos: ${cat_wall} s" \
  "(processador ${cat_cpu} s); razão $(echo "scale=2; $wall / $cat_wall" | bc)" \
  "(processador $(echo "scale=2; $cpu / $cat_cpu" | bc)); memória máxima: $((peak_kib / 1024)) MiB"
tail -1 "$work/resumo"

mapfile -t shared < <(find "$work/acervo/cartoes" -type f | sort | head -1000)
timed "$cli" separar "${shared[@]}" --destino "$work/por-jogo" --layout memcardpro \
  > "$work/separar" || true
echo "separar: ${#shared[@]} cartões em ${wall} s (processador ${cpu} s); $(tail -1 "$work/separar")"

timed "$cli" listar "${shared[@]}" > /dev/null
echo "listar: ${#shared[@]} arquivos em ${wall} s (processador ${cpu} s)"
