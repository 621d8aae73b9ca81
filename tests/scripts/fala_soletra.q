* FALA fala sem mostrar, SOLETRA soletra e mostra sem fim de linha, FALAHORA diz as horas, BIPA clica ou bipa.
fala "um " "dois"
fala "sem esperar" &
fala
fala &
soletra "abc" resto ignorado
escreve " <- soletrado"
falahora "14:05"
falahora "01:00"
falahora "00:01"
bipa 1
bipa "1"
bipa
bipa 0
bipa "x"
escreve "fim"
