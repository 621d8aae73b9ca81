* Uma pasta nova com três arquivos e uma subpasta, e a busca que anda por ela.
dir cria "pasta"
dir cria "pasta" &
busca a dir
dir troca "pasta"
busca b dir
concatena a "/pasta"
se a = b escreve "dentro da pasta"
abre #1 "um.txt" &
escreve #1 "um"
fecha #1
replica "um.txt" "dois.txt"
replica "um.txt" "três.dat"
replica "nada.txt" "quatro.txt" &
dir cria "sub.txt"
abre #1 ".oculto.txt" &
fecha #1
busca b "*.txt"
@ARQUIVOS
se b = "" desvia @PASTAS
escreve "arquivo " b
busca b próximo
desvia @ARQUIVOS
@PASTAS
busca b dir "*"
escreve "primeiro " b
@OUTRAS
busca b dir proximo
se b = "" desvia @FIM
escreve "pasta " b
desvia @OUTRAS
@FIM
busca b dir "sub.txt"
escreve "existe " b
busca b dir "nenhuma"
escreve "não existe [" b "]"
busca b "*.txt"
busca b fim
busca b próximo
escreve "depois do fim [" b "]"
* Tamanho, nome novo, cópia pelo atalho da pasta pessoal, remoção.
tamarq "um.txt" t
escreve "tamanho " t
renomeia "dois.txt" "dez.txt"
renomeia "dois.txt" "onze.txt" &
busca b "d*"
escreve "renomeado " b
replica "dez.txt" "~/copia.txt"
dir troca "~"
busca b "copia.txt"
escreve "na pasta pessoal " b
remove "copia.txt"
remove "copia.txt" &
busca b "copia.txt"
escreve "removido [" b "]"
dir remove "pasta/sub.txt"
busca b dir "pasta/sub.txt"
escreve "sem subpasta [" b "]"
